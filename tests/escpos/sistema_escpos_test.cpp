#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <atomic>
#include <future>

#include "json/fallo.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/escpos/estado.h"
#include "print/escpos/sistema_escpos.h"
#include "print/grabador.h"
#include "print/seguimiento.h"
#include "print/seleccion.h"
#include "tablas.h"

using namespace kestrel;
using namespace kestrel::prueba;

using namespace std::chrono_literals;

namespace {

const LimitesEscpos limites{500ms, 300ms, 200ms};
const QByteArray pedidos = pedidoEstado(1) + pedidoEstado(2) + pedidoEstado(4);

/// A receipt printer on loopback: keeps what each connection sent and answers the status requests that end
/// it as estado says (out of paper from its second connection on, with seAcaba: paper that ends while printing).
struct Par {
    QTcpServer servidor;
    EstadoEscpos estado;
    bool callado = false, seAcaba = false, corta = false;
    QList<QByteArray> recibido;

    Par() {
        servidor.listen(QHostAddress::LocalHost);
        QObject::connect(&servidor, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = servidor.nextPendingConnection();
            recibido.append(QByteArray());
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, n = recibido.size() - 1] {
                if (corta)
                    return s->abort();
                recibido[n] += s->readAll();
                EstadoEscpos e = estado;
                e.sinPapel = e.sinPapel || (seAcaba && n > 0);
                if (!callado && recibido[n].endsWith(pedidos))
                    s->write(QByteArray() + respuestaEstado(e, 1) + respuestaEstado(e, 2) + respuestaEstado(e, 4));
            });
        });
    }
    DestinoEscpos destino(const QString& nombre = QStringLiteral("Caja")) {
        return {nombre, DestinoEscpos::Tipo::Tcp, QStringLiteral("127.0.0.1"), servidor.serverPort(), {}};
    }
};

/// The probe, from another thread as the window waits for it, while the peer answers on this one.
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
    Par par;
    std::unique_ptr<SistemaVistaTexto> interno =
        std::make_unique<SistemaVistaTexto>(QStringList{"Facturas", "Cocina"}, QStringLiteral("cocina "));
    SistemaVistaTexto* vista = interno.get();
    std::unique_ptr<SistemaImpresion> sistema;

    /// The system with these printers around interno, the first one current when elegir.
    Impresora& crear(QList<DestinoEscpos> destinos, bool elegir = true) {
        sistema = crearSistemaEscpos(std::move(interno), destinos, nullptr, limites);
        if (elegir)
            sistema->seleccionar(buscarImpresora(sistema->impresoras(), destinos[0].nombre));
        return sistema->actual();
    }
};

struct AvisosMudos : Avisos {
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

struct DiarioEnMemoria : DiarioTrabajos {
    QStringList entradas;
    qint64 anotar(const EntradaTrabajo& e) override {
        return entradas << nombreEstadoTrabajo(e.estado), entradas.size();
    }
    void actualizar(qint64 n, EstadoTrabajo e, const QString& usada, const QString& motivo, qint64) override {
        entradas[n - 1] = nombreEstadoTrabajo(e) + " en " + usada + (motivo.isEmpty() ? "" : ": " + motivo);
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

TEST(HiloEscpos, UnTrabajoEncoladoMientrasOtroTerminaSaleUnaSolaVez) {
    Par par;
    HiloEscpos hilo(limites);
    std::atomic_int terminados = 0;
    // Queued from the first job's end, before that job's turn to look at the queue comes: as the window queues a
    // ticket the moment its probe answers.
    hilo.enviar(par.destino(), 1, "uno", [&](const QString&) {
        hilo.enviar(par.destino(), 2, "dos", [&](const QString&) { ++terminados; });
        ++terminados;
    });
    ASSERT_TRUE(esperarHasta([&] { return terminados == 2; }));
    EXPECT_EQ(par.recibido, (QList<QByteArray>{"uno" + pedidos, "dos" + pedidos}));
}

TEST_F(SistemaEscposTest, OcupaElLugarDeLaImpresoraDeSuNombreYLoDemasVaAlSistemaInterno) {
    EXPECT_EQ(crear({par.destino("COCINA"), par.destino("Bar")}, false).nombreDispositivo(), "COCINA");
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
    DestinoEscpos angosta = par.destino();
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
    EXPECT_EQ(par.recibido.value(0),
              codificarDocumento(referencia.documentoAbierto(), {QImage(logo)}, puntosRollo58) + pedidos);
    caja.finDocumento();
    EXPECT_EQ(sistema->tomarTrabajo(), 0) << "un documento vacío no es un trabajo";
}

TEST_F(SistemaEscposTest, ElSondeoFallaConLoQueLaImpresoraDiceDeSiONoResponde) {
    Impresora& caja = crear({par.destino()});
    const struct {
        EstadoEscpos estado;
        bool callado;
        const char* esperado;
    } casos[] = {{{}, false, ""},
                 {{false, false, true}, false, "fallo 482: Caja: sin papel"},
                 {{false, true, false}, false, "fallo 482: Caja: tapa abierta"},
                 {{true, false, false}, false, "fallo 482: Caja: fuera de línea"},
                 {{true, true, true}, true, ""}};
    for (const auto& c : casos) {
        par.estado = c.estado;
        par.callado = c.callado;
        EXPECT_EQ(sondeo(caja), c.esperado) << c.esperado;
    }
    EXPECT_EQ(par.recibido, QList<QByteArray>(std::size(casos), pedidos)) << "un sondeo no imprime nada";
    par.servidor.close();
    EXPECT_EQ(sondeo(caja), "fallo 482: Caja: no responde");
}

TEST_F(SistemaEscposTest, UnaImpresoraQueNoLeeOCortaFallaElTrabajoSinDetenerAlLlamador) {
    QTcpServer sorda;
    sorda.listen(QHostAddress::LocalHost);
    sorda.pauseAccepting(); // the kernel accepts and buffers a little; nobody ever reads
    DestinoEscpos noLee = par.destino("Sorda");
    noLee.puerto = sorda.serverPort();
    crear({noLee, par.destino()});
    par.corta = true;
    const QByteArray grande(16 << 20, 'x');
    for (const char* impresora : {"Sorda", "Caja"}) {
        sistema->escribirCrudo(impresora, grande);
        const qint64 trabajo = sistema->tomarTrabajo();
        EXPECT_EQ(fin(*sistema, impresora, trabajo, false), "pendiente");
        EXPECT_EQ(fin(*sistema, impresora, trabajo),
                  impresora == QLatin1String("Caja") ? "fallido: cortó la conexión" : "fallido: no recibe datos");
    }
    sistema->escribirCrudo(QStringLiteral("Sorda"), grande);
    sistema.reset(); // leaves at once with a job under way
}

TEST_F(SistemaEscposTest, UnDispositivoQueEsUnArchivoRecibeLosBytesTalCual) {
    QTemporaryDir carpeta;
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

TEST_F(SistemaEscposTest, ElPapelQueSeAcabaAlImprimirLlevaElDocumentoALaPredeterminada) {
    par.seAcaba = true;
    vista->fijarPredeterminada(QStringLiteral("Facturas"));
    AvisosMudos avisos;
    auto diario = std::make_shared<DiarioEnMemoria>();
    GrabadorTrabajos grabador(crearSistemaEscpos(std::move(interno), {par.destino("Cocina")}, nullptr, limites),
                              diario);
    grabador.fijarSeguimiento(std::make_unique<SeguimientoTrabajos>(grabador, avisos, 5s, 10ms));
    ContextoImpresion ctx{grabador, avisos, {}};
    ctx.grabador = &grabador;
    empezarTrabajo(ctx, TipoTrabajo::Comanda, QStringLiteral("Cocina"));
    ASSERT_TRUE(seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Cocina")), 0));
    ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("Mesa 12"))});
    ctx.impresora().finDocumento();
    EXPECT_EQ(diario->entradas, QStringList{"enviando en Cocina"});
    ASSERT_TRUE(esperarHasta([&] { return !diario->entradas[0].startsWith(QLatin1String("enviando")); }));
    EXPECT_EQ(diario->entradas, QStringList{"reenviado en Facturas: Cocina: sin papel"});
    EXPECT_EQ(vista->documentos().value(0).texto(false), (QStringList{"Error en Impresora Cocina", "Mesa 12"}));
}
