#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QScopeGuard>

#include <csignal>
#include <map>
#include <numeric>
#include <sys/types.h>

#include "apoyo.h"
#include "banco.h"
#include "json/fallo.h"
#include "print/escpos/sistema_escpos.h"
#include "print/qt/sistemas.h"
#include "tablas.h"

// End to end through the private scheduler the CTest fixture starts (scripts/cups-sandbox): queues Facturas
// (default), Cocina, Bar, Detenida and Rechaza, each capturing its jobs into <caja>/out/<cola>-<n>.

using namespace kestrel;
using namespace ::prueba;

namespace {

using E = ElementoLinea;
using namespace std::chrono_literals;

void cups(const QString& programa, const QStringList& argumentos) {
    const Salida s = ejecutar(programa, argumentos);
    ASSERT_EQ(s.codigo, 0) << programa.toStdString() << ": " << s.errores.toStdString();
}

/// Jobs CUPS knows for a queue, finished or not: a probe must add none.
int trabajosDe(const QString& cola) {
    const QByteArray salida = ejecutar(QStringLiteral("lpstat"), {"-W", "all", "-o", cola}).texto;
    return static_cast<int>(salida.count('\n'));
}

class ImpresionCups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(caja().isEmpty()) << "falta la caja de CUPS de la prueba";
        esperarColaVacia();
    }

    std::unique_ptr<SistemaImpresion> sistema = crearSistemaEquipo(5s);

    Impresora& seleccionar(const QString& nombre) {
        const QStringList lista = sistema->impresoras();
        const int i = static_cast<int>(lista.indexOf(nombre));
        EXPECT_GE(i, 0) << nombre.toStdString();
        sistema->seleccionar(i);
        return sistema->actual();
    }
};

TEST_F(ImpresionCups, LasImpresorasSonLosDestinosDeCupsYLaPredeterminadaLaSuya) {
    const QStringList lista = sistema->impresoras();
    for (const char* cola : {"Facturas", "Cocina", "Bar", "Detenida", "Rechaza"})
        EXPECT_TRUE(lista.contains(QString::fromLatin1(cola))) << cola;
    EXPECT_EQ(sistema->predeterminada(), QStringLiteral("Facturas"));
    // Before any selection the current printer is CUPS's default.
    EXPECT_EQ(sistema->actual().nombreDispositivo(), QStringLiteral("Facturas"));
    EXPECT_THROW(sistema->seleccionar(static_cast<int>(lista.size())), FalloPlataforma);
}

TEST_F(ImpresionCups, UnaComandaLlegaALaColaComoUnSoloPdfConSusLineas) {
    const QStringList antes = archivos(capturas());
    Impresora& cocina = seleccionar(QStringLiteral("Cocina"));
    const int trabajos = trabajosDe(QStringLiteral("Cocina"));
    cocina.sondear();
    cocina.cerrarSondeo();
    EXPECT_EQ(trabajosDe(QStringLiteral("Cocina")), trabajos) << "el sondeo no gasta papel";

    kestrel::prueba::imprimirLlamadas(cocina, QStringLiteral("print_qt/comanda-cocina.json"));
    cocina.finDocumento();

    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Cocina"});
    const QString ruta = nuevos.first();
    EXPECT_TRUE(leerArchivo(ruta).startsWith("%PDF"));
    const QString texto = textoPdf(ruta);
    EXPECT_TRUE(texto.contains(QLatin1String("COCINA"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QLatin1String("Mesa 4")));
    EXPECT_TRUE(texto.contains(QRegularExpression(QStringLiteral("2\\s+Hamburguesa 3\\s+25.000"))))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains(QLatin1String("-> SIN CEBOLLA")));
}

TEST_F(ImpresionCups, UnDocumentoLargoPasaDePaginaCuandoSeLlenaLaHoja) {
    const QStringList antes = archivos(capturas());
    Impresora& bar = seleccionar(QStringLiteral("Bar"));
    bar.fijarTamanoFuente(12);
    for (int i = 1; i <= 150; ++i)
        bar.imprimir({E::deTexto(QStringLiteral("Linea %1").arg(i))});
    bar.finDocumento();
    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Bar"});
    const QString ruta = nuevos.first();
    EXPECT_GE(infoPdf(ruta).paginas, 2);
    const QString texto = textoPdf(ruta);
    EXPECT_TRUE(texto.contains(QLatin1String("Linea 1\n")));
    EXPECT_TRUE(texto.contains(QLatin1String("Linea 150")));
}

TEST_F(ImpresionCups, ElPulsoDelCajonLlegaByteAByte) {
    const QStringList antes = archivos(capturas());
    const QByteArray pulso("\x1b\x70\x00\x3c\xf0", 5);
    sistema->escribirCrudo(QStringLiteral("Facturas"), pulso);
    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Facturas"});
    EXPECT_EQ(leerArchivo(nuevos.first()).toHex(' '), pulso.toHex(' '));
}

TEST_F(ImpresionCups, UnaImpresoraEscposPorUnaColaRecibeSusBytesTalCualYSeSigueComoTrabajoDeCups) {
    auto escpos = crearSistemaEscpos(crearSistemaEquipo(5s), {{"Caja", DestinoEscpos::Tipo::Cups, {}, 0, "Bar"}});
    const QStringList antes = archivos(capturas());
    QByteArray bytes(256, 0);
    std::iota(bytes.begin(), bytes.end(), 0);
    escpos->escribirCrudo(QStringLiteral("caja"), bytes);
    const qint64 trabajo = escpos->tomarTrabajo();
    ASSERT_NE(trabajo, 0);
    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Bar"});
    EXPECT_EQ(leerArchivo(nuevos.first()), bytes);
    std::optional<EstadoCola> estado;
    escpos->consultarTrabajo(QStringLiteral("Caja"), trabajo, [&](const EstadoCola& e) { estado = e; });
    ASSERT_TRUE(esperarHasta([&] { return estado.has_value(); }));
    EXPECT_EQ(estado->fin, EstadoCola::Fin::Impreso);
}

TEST_F(ImpresionCups, UnaColaQueNoPuedeRecibirTrabajosFallaElSondeo) {
    const struct {
        const char* cola;
        const char* averiar;
        const char* reparar;
        const char* razon;
    } casos[] = {
        {"Detenida", "cupsdisable", "cupsenable", "esta detenida"},
        {"Rechaza", "cupsreject", "cupsaccept", "no acepta trabajos"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.cola);
        const QString cola = QString::fromLatin1(c.cola);
        Impresora& impresora = seleccionar(cola);
        EXPECT_NO_THROW(impresora.sondear());
        cups(QString::fromLatin1(c.averiar), {cola});
        const QString fallo = kestrel::prueba::falloO([&] { return impresora.sondear(), QString(); }, true);
        EXPECT_TRUE(fallo.startsWith(QStringLiteral("fallo %1: ").arg(numerofallo::errorImpresora)) &&
                    fallo.contains(QString::fromUtf8(c.razon)))
            << fallo.toStdString();
        cups(QString::fromLatin1(c.reparar), {cola});
        EXPECT_NO_THROW(impresora.sondear());
    }
}

TEST_F(ImpresionCups, ElEstadoDeCadaColaLlegaPorElHiloDeCupsSinEsperarlo) {
    std::map<QString, QString> oidas;
    sistema->observarEstados([&](const LecturaImpresora& l) {
        oidas[l.nombre] = textoEstado(l.estado) + u' ' + l.destino.section(u':', 0, 0);
    });
    cups(QStringLiteral("cupsdisable"), {QStringLiteral("Detenida")});
    cups(QStringLiteral("cupsreject"), {QStringLiteral("Rechaza")});
    const auto reparar = qScopeGuard([] {
        ejecutar(QStringLiteral("cupsenable"), {QStringLiteral("Detenida")});
        ejecutar(QStringLiteral("cupsaccept"), {QStringLiteral("Rechaza")});
    });
    sistema->sondearEstados();
    EXPECT_TRUE(oidas.empty()) << "the answer comes later, as an event";
    EXPECT_TRUE(esperarHasta([&] { return oidas.size() >= 5; }));
    EXPECT_EQ(oidas[QStringLiteral("Facturas")], QStringLiteral("lista capture"));
    EXPECT_EQ(oidas[QStringLiteral("Detenida")], QStringLiteral("detenida capture"));
    EXPECT_EQ(oidas[QStringLiteral("Rechaza")], QStringLiteral("detenida capture"));
}

TEST_F(ImpresionCups, UnaColaBorradaDespuesDeElegirlaFallaElSondeoYElTrabajo) {
    const QString cola = QStringLiteral("Temporal");
    cups(QStringLiteral("lpadmin"), {"-p", cola, "-E", "-v", "capture:" + caja() + "/out/Temporal", "-m", "raw"});
    Impresora& impresora = seleccionar(cola);
    cups(QStringLiteral("lpadmin"), {"-x", cola});
    EXPECT_TRUE(kestrel::prueba::falloO([&] { return impresora.sondear(), QString(); }, true).contains("no existe"));
    impresora.imprimir({E::deTexto("nadie lo recibe")});
    EXPECT_THROW(impresora.finDocumento(), FalloPlataforma);
    EXPECT_THROW(sistema->escribirCrudo(cola, "x"), FalloPlataforma);
}

TEST_F(ImpresionCups, ConElPlanificadorCongeladoNadaEsperaMasQueElLimite) {
    constexpr auto limite = 500ms;
    auto congelable = crearSistemaEquipo(limite);
    // Chosen while CUPS answers, as a document's printer is.
    const QStringList lista = congelable->impresoras();
    congelable->seleccionar(static_cast<int>(lista.indexOf(QStringLiteral("Cocina"))));
    Impresora& cocina = congelable->actual();
    const QStringList antes = archivos(capturas());
    {
        // Every call gives up at the limit instead of waiting for the scheduler: were one to wait, the test
        // would hang here until CTest's timeout.
        // The scheduler frozen for the block, thawed whatever the test does.
        const auto pid = static_cast<pid_t>(leerArchivo(caja() + QStringLiteral("/cupsd.pid")).trimmed().toInt());
        ASSERT_GT(pid, 0);
        ::kill(pid, SIGSTOP);
        const auto deshielo = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
        // A poll that times out marks the scheduler as not answering, as any other call does (documents are
        // then held, not sent into it); the next poll is answered without asking.
        QList<EstadoImpresora> oidas;
        congelable->observarEstados([&](const LecturaImpresora& l) { oidas << l.estado; });
        for (int i = 1; i <= 2; ++i) {
            congelable->sondearEstados();
            EXPECT_TRUE(esperarHasta([&] { return oidas.size() == i; }));
        }
        EXPECT_EQ(oidas, QList<EstadoImpresora>(2, EstadoImpresora::NoResponde));
        EXPECT_FALSE(congelable->responde(QStringLiteral("Cocina")));
        EXPECT_THROW(congelable->impresoras(), FalloPlataforma);
        EXPECT_THROW(congelable->predeterminada(), FalloPlataforma);
        EXPECT_THROW(cocina.sondear(), FalloPlataforma);
        cocina.imprimir({E::deTexto("NO DEBE SALIR")});
        EXPECT_THROW(cocina.finDocumento(), FalloPlataforma);
        EXPECT_THROW(congelable->escribirCrudo(QStringLiteral("Facturas"), "x"), FalloPlataforma);
    }
    // Once CUPS answers again, so does the printer system.
    QStringList despues;
    esperarHasta(
        [&] {
            try {
                despues = congelable->impresoras();
            } catch (const FalloPlataforma&) {
            }
            return !despues.isEmpty();
        },
        20000);
    EXPECT_TRUE(despues.contains(QStringLiteral("Cocina")));
    EXPECT_NO_THROW(cocina.sondear());
    // The document that failed while CUPS was frozen is not printed behind the user's back. The calls into
    // CUPS run one after another, so a late copy of it would reach the queue before this one.
    cocina.imprimir({E::deTexto("DESPUES")});
    cocina.finDocumento();
    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Cocina"});
    EXPECT_TRUE(textoPdf(nuevos.first()).contains(QLatin1String("DESPUES")));
}

} // namespace
