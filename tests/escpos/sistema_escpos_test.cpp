#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <atomic>
#include <future>

#include "emulador.h"
#include "json/fallo.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/escpos/estado.h"
#include "print/escpos/hilo_escpos.h"
#include "print/escpos/sistema_escpos.h"
#include "print/grabador.h"
#include "print/seguimiento.h"
#include "print/seleccion.h"
#include "diario_prueba.h"
#include "tablas.h"

using namespace kestrel;
using namespace kestrel::prueba;

using namespace std::chrono_literals;

namespace {

const LimitesEscpos limites{500ms, 300ms, 200ms};

/// The probe, from another thread as the window waits for it, while the emulator answers on this one.
QString sondeo(Impresora& impresora) {
    auto f =
        std::async(std::launch::async, [&] { return falloO([&] { return impresora.sondear(), QString(); }, true); });
    esperarHasta([&] { return f.wait_for(0s) == std::future_status::ready; });
    return f.get();
}

/// How a job ends, asking as the follow-up does until it is no longer pending.
QString fin(SistemaImpresion& s, const QString& impresora, qint64 trabajo, bool esperar = true) {
    EstadoCola e;
    QDeadlineTimer plazo(5000);
    do {
        bool llego = false;
        s.consultarTrabajo(impresora, trabajo, [&](const EstadoCola& r) { e = r, llego = true; });
        esperarHasta([&] { return llego; });
    } while (esperar && e.fin == EstadoCola::Fin::Pendiente && !plazo.hasExpired());
    const char* fines[] = {"pendiente", "impreso", "fallido"};
    return QString::fromLatin1(fines[static_cast<int>(e.fin)]) + (e.motivo.isEmpty() ? "" : ": " + e.motivo);
}

struct SistemaEscposTest : ::testing::Test {
    QTemporaryDir carpeta;
    std::unique_ptr<EmuladorEscpos> emulador = emular();
    std::unique_ptr<SistemaVistaTexto> interno =
        std::make_unique<SistemaVistaTexto>(QStringList{"Facturas", "Cocina"}, QStringLiteral("cocina "));
    SistemaVistaTexto* vista = interno.get();
    std::unique_ptr<SistemaImpresion> sistema;

    /// A printer emulator on loopback, its jobs in carpeta.
    std::unique_ptr<EmuladorEscpos> emular(OpcionesEmulador opciones = {}) {
        opciones.carpeta = carpeta.path();
        auto e = std::make_unique<EmuladorEscpos>(opciones);
        EXPECT_TRUE(e->escuchar(0, QHostAddress::LocalHost)) << e->error().toStdString();
        return e;
    }
    /// The printer nombre on emulator e, or on the test's own.
    DestinoEscpos destino(const QString& nombre = QStringLiteral("Caja"), const EmuladorEscpos* e = nullptr) {
        return {nombre, DestinoEscpos::Tipo::Tcp, QStringLiteral("127.0.0.1"), (e ? e : emulador.get())->puerto(), {}};
    }
    /// The n-th job the test's emulator stored, once it is on disk.
    QByteArray guardado(int n) {
        esperarHasta([&] { return emulador->trabajos() >= n; });
        return leerArchivo(carpeta.filePath(QStringLiteral("trabajo-%1.bin").arg(n)));
    }
    /// The system with these printers around interno, the first one current when elegir.
    Impresora& crear(QList<DestinoEscpos> destinos, bool elegir = true) {
        sistema = crearSistemaEscpos(std::move(interno), destinos, nullptr, limites);
        if (elegir)
            sistema->seleccionar(buscarImpresora(sistema->impresoras(), destinos[0].nombre));
        return sistema->actual();
    }
};

} // namespace

TEST(DestinoEscpos, SeLeeDelTextoDeLaConfiguracion) {
    comprobarTablas(QStringLiteral("destino_escpos"),
                    {{"leerDestinoEscpos", [](const QJsonArray& a) {
                          QString error;
                          const auto d = leerDestinoEscpos(a[0].toString(), &error);
                          return d ? QStringLiteral("%1 %2 %3").arg(d->nombre, d->direccion()).arg(d->puntosAncho)
                                   : error;
                      }}});
}

TEST_F(SistemaEscposTest, UnTrabajoEncoladoMientrasOtroTerminaSaleUnaSolaVez) {
    HiloEscpos hilo(limites);
    const DestinoEscpos d = destino();
    std::atomic_int terminados = 0;
    // Queued from the first job's end, before that job's turn to look at the queue comes: as the window queues a
    // ticket the moment its probe answers.
    hilo.enviar(d, 1, "uno", [&](const QString&) {
        hilo.enviar(d, 2, "dos", [&](const QString&) { ++terminados; });
        ++terminados;
    });
    ASSERT_TRUE(esperarHasta([&] { return terminados == 2; }));
    EXPECT_EQ(guardado(1) + guardado(2), "unodos");
    EXPECT_EQ(emulador->trabajos(), 2);
}

TEST_F(SistemaEscposTest, OcupaElLugarDeLaImpresoraDeSuNombreYLoDemasVaAlSistemaInterno) {
    EXPECT_EQ(crear({destino("COCINA"), destino("Bar")}, false).nombreDispositivo(), "COCINA");
    EXPECT_EQ(sistema->impresoras(), (QStringList{"Facturas", "COCINA", "Bar"}));
    EXPECT_EQ(sistema->predeterminada(), "cocina ");
    for (int i : {2, 0}) {
        sistema->seleccionar(i);
        EXPECT_EQ(sistema->actual().nombreDispositivo(), sistema->impresoras()[i]);
    }
    EXPECT_EQ(falloO([&] { return sistema->seleccionar(3), QString(); }), "fallo 9");
    sistema->escribirCrudo(QStringLiteral("Facturas"), "x");
    EXPECT_EQ(vista->escriturasCrudas().size(), 1);
    EXPECT_EQ(sistema->tomarTrabajo(), 0);
    EXPECT_EQ(fin(*sistema, "Facturas", 7), "impreso");
}

TEST_F(SistemaEscposTest, UnDocumentoLlegaComoLoCodificaElCodificador) {
    DestinoEscpos angosta = destino();
    angosta.puntosAncho = puntosRollo58;
    Impresora& caja = crear({angosta});
    ImpresoraVistaTexto referencia(QStringLiteral("Caja"));
    referencia.fijarMedidorImagenes([](const QString&) { return QSize(); });
    const QString logo = carpetaDatos(QStringLiteral("print_qt/imagenes/png300.png"));
    EXPECT_EQ(falloO([&] { return caja.dibujarImagen("no-existe.png", 0, 0, 1, 1), QString(); }), "fallo 481");
    for (Impresora* i : {static_cast<Impresora*>(&referencia), &caja}) {
        i->fijarTamanoFuente(14);
        i->imprimir({ElementoLinea::deTexto("Total"), ElementoLinea::deColumna(20),
                     ElementoLinea::deNumero(Decimal::desdeDouble(12500))});
        i->dibujarImagen(logo, 0, 0, 1440, 720);
        i->imprimir({ElementoLinea::deTexto("Gracias")});
    }
    caja.finDocumento();
    const qint64 trabajo = sistema->tomarTrabajo();
    ASSERT_NE(trabajo, 0);
    EXPECT_EQ(fin(*sistema, "Caja", trabajo), "impreso");
    EXPECT_EQ(guardado(1), codificarDocumento(referencia.documentoAbierto(), {QImage(logo)}, puntosRollo58));
    caja.finDocumento();
    EXPECT_EQ(sistema->tomarTrabajo(), 0) << "un documento vacío no es un trabajo";
}

TEST_F(SistemaEscposTest, ElSondeoFallaConLoQueLaImpresoraDiceDeSiONoResponde) {
    Impresora& caja = crear({destino()});
    const std::pair<EstadoEscpos, const char*> casos[] = {{{}, ""},
                                                          {{.sinPapel = true}, "fallo 482: Caja: sin papel"},
                                                          {{.tapaAbierta = true}, "fallo 482: Caja: tapa abierta"},
                                                          {{.fueraDeLinea = true}, "fallo 482: Caja: fuera de línea"}};
    for (const auto& [estado, esperado] : casos) {
        emulador->fijarEstado(estado);
        EXPECT_EQ(sondeo(caja), esperado);
    }
    sistema->escribirCrudo(QStringLiteral("Caja"), "x");
    EXPECT_EQ(guardado(1), "x") << "un sondeo no imprime nada";
    emulador.reset();
    // No connection says nothing of the paper: the failure that lets the document wait for the printer.
    EXPECT_EQ(sondeo(caja), "fallo 68: Caja: no responde");
}

TEST_F(SistemaEscposTest, UnTrabajoEstaImpresoSoloCuandoLaImpresoraTomoCadaByte) {
    const auto sorda = emular({.carpeta = {}, .estado = {}, .noLee = true});
    const auto lenta = emular({.carpeta = {}, .estado = {}, .leeLento = 10});
    const auto muda = emular({.carpeta = {}, .estado = {}, .noContesta = true});
    const auto normal = emular();
    emulador = emular({.carpeta = {}, .estado = {}, .cortarTras = 100});
    Impresora& primera = crear({destino("Sorda", sorda.get()), destino("Lenta", lenta.get()),
                                destino("Muda", muda.get()), destino("Normal", normal.get()), destino()});
    EXPECT_EQ(sondeo(primera), "") << "quien no dice su estado no falla";
    sistema->seleccionar(buscarImpresora(sistema->impresoras(), QStringLiteral("Lenta")));
    EXPECT_EQ(sondeo(sistema->actual()), "") << "la lenta contesta a tiempo el sondeo, de 9 bytes";
    // 200 KB and 31 KB fit in this computer's socket buffer: only the printer's acknowledgements tell.
    const QByteArray enorme(16 << 20, 'x'), grande(200 << 10, 'x'), tiquete(31 << 10, 'x'), corto(500, 'x');
    const struct {
        const char* impresora;
        const QByteArray& datos;
        const char* esperado;
    } casos[] = {{"Sorda", enorme, "fallido: no recibe datos"},
                 {"Sorda", grande, "fallido: no recibe datos"},
                 {"Lenta", tiquete, "fallido: no recibe datos"},
                 // Its buffer takes it all, but it answered its probe and does not answer now.
                 {"Lenta", corto, "fallido: no recibe datos"},
                 {"Muda", tiquete, "impreso"},
                 {"Normal", tiquete, "impreso"},
                 {"Caja", enorme, "fallido: cortó la conexión"},
                 // All of it fits in the sockets' buffers: the connection drops as the status is asked.
                 {"Caja", corto, "fallido: cortó la conexión"}};
    for (const auto& c : casos) {
        sistema->escribirCrudo(c.impresora, c.datos);
        const qint64 trabajo = sistema->tomarTrabajo();
        EXPECT_EQ(fin(*sistema, c.impresora, trabajo, false), "pendiente");
        EXPECT_EQ(fin(*sistema, c.impresora, trabajo), c.esperado) << c.impresora << " " << c.datos.size();
    }
    sistema->escribirCrudo(QStringLiteral("Sorda"), enorme);
    sistema.reset(); // leaves at once with a job under way
}

TEST_F(SistemaEscposTest, UnTrabajoCanceladoEnCursoSeCortaYElQueNoTerminaEnSuLimiteFalla) {
    const auto sorda = emular({.carpeta = {}, .estado = {}, .noLee = true});
    HiloEscpos hilo({500ms, 60s, 200ms, 1s});
    QStringList motivos;
    // An idle printer starts a job the moment it is queued: the cancellation finds the first one under way.
    for (int i = 0; i < 2; ++i) {
        hilo.enviar(destino("Sorda", sorda.get()), i, QByteArray(1 << 20, 'x'),
                    [&](const QString& m) { QMetaObject::invokeMethod(sorda.get(), [&, m] { motivos << m; }); });
    }
    hilo.cancelar(destino("Sorda", sorda.get()), 0);
    ASSERT_TRUE(esperarHasta([&] { return motivos.size() == 2; }));
    EXPECT_EQ(motivos, (QStringList{"cancelado", "no terminó en 1 s"}));
}

TEST_F(SistemaEscposTest, UnTrabajoCanceladoEnLaColaNoSeEnvia) {
    crear({destino()});
    qint64 trabajos[3];
    for (int i = 0; i < 3; ++i) {
        sistema->escribirCrudo(QStringLiteral("Caja"), QByteArray::number(i));
        trabajos[i] = sistema->tomarTrabajo();
    }
    // The first job waits for this thread's emulator to answer its status: the second is still queued.
    sistema->cancelarTrabajo(QStringLiteral("Caja"), trabajos[1]);
    EXPECT_EQ(fin(*sistema, "Caja", trabajos[2]), "impreso");
    EXPECT_EQ(fin(*sistema, "Caja", trabajos[1]), "fallido: trabajo desconocido");
    EXPECT_EQ(guardado(2), "2");
}

TEST_F(SistemaEscposTest, UnDispositivoQueEsUnArchivoRecibeLosBytesTalCual) {
    const QString ruta = carpeta.filePath(QStringLiteral("cajon.bin"));
    ASSERT_TRUE(escribirArchivo(ruta));
    const QByteArray pulso("\x1b\x70\x00\x3c\xf0", 5);
    Impresora& cajon = crear({{"Cajon", DestinoEscpos::Tipo::Dispositivo, {}, 0, ruta},
                              {"Falta", DestinoEscpos::Tipo::Dispositivo, {}, 0, carpeta.filePath("no/hay")}});
    EXPECT_EQ(sondeo(cajon), "");
    for (int i = 0; i < 2; ++i) {
        sistema->escribirCrudo(QStringLiteral("Cajon"), pulso);
        EXPECT_EQ(fin(*sistema, "Cajon", sistema->tomarTrabajo()), "impreso");
    }
    EXPECT_EQ(leerArchivo(ruta).toHex(' '), (pulso + pulso).toHex(' '));
    sistema->escribirCrudo(QStringLiteral("Falta"), pulso);
    EXPECT_EQ(fin(*sistema, "Falta", sistema->tomarTrabajo()),
              "fallido: no se puede abrir " + carpeta.filePath("no/hay"));
}

TEST_F(SistemaEscposTest, ElPapelQueSeAcabaTrasUnTrabajoLlevaElSiguienteALaPredeterminada) {
    emulador = emular({.carpeta = {}, .estado = {}, .papelPara = 1});
    vista->fijarPredeterminada(QStringLiteral("Facturas"));
    AvisosMudos avisos;
    auto diario = std::make_shared<DiarioEnMemoria>();
    GrabadorTrabajos grabador(crearSistemaEscpos(std::move(interno), {destino("Cocina")}, nullptr, limites), diario);
    grabador.fijarSeguimiento(std::make_unique<SeguimientoTrabajos>(grabador, avisos, 5s, 10ms));
    ContextoImpresion ctx{grabador, avisos, {}};
    ctx.grabador = &grabador;
    ASSERT_TRUE(seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Cocina")), 0));
    for (const char* mesa : {"Mesa 12", "Mesa 13"}) { // one probe: both go out before the paper is seen to end
        empezarTrabajo(ctx, TipoTrabajo::Comanda, QStringLiteral("Cocina"));
        ctx.impresora().imprimir({ElementoLinea::deTexto(QString::fromLatin1(mesa))});
        ctx.impresora().finDocumento();
    }
    EXPECT_EQ(diario->entradas, (QStringList{"enviando en Cocina", "enviando en Cocina"}));
    ASSERT_TRUE(esperarHasta([&] { return !diario->entradas.join(' ').contains(QLatin1String("enviando")); }));
    EXPECT_EQ(diario->entradas, (QStringList{"impreso en Cocina", "reenviado en Facturas: Cocina: sin papel"}));
    EXPECT_EQ(vista->documentos().value(0).texto(false), (QStringList{"Error en Impresora Cocina", "Mesa 13"}));
}
