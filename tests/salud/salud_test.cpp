#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "dorados.h"
#include "emulador.h"
#include "metricas/metricas.h"
#include "metricas/servidor_metricas.h"
#include "print/avisos.h"
#include "print/escpos/sistema_escpos.h"
#include "print/qt/estado_cups.h"
#include "print/registro_impresoras.h"
#include "print/vista_texto.h"
#include "tablas.h"

using namespace kestrel;
using namespace kestrel::prueba;
using namespace std::chrono_literals;

namespace {

QString estadoDe(const QJsonValue& v) {
    return v.isNull() ? QString() : v.toString();
}

// tests/data/tablas/salud.json
TEST(Salud, Tablas) {
    comprobarTablas(
        QStringLiteral("salud"),
        {{QStringLiteral("estadoDeMotivo"),
          [](const QJsonArray& a) { return textoEstado(estadoDeMotivo(a[0].toString())); }},
         {QStringLiteral("estadoColaCups"),
          [](const QJsonArray& a) {
              QStringList razones;
              for (const QJsonValue& r : a[2].toArray())
                  razones << r.toString();
              return textoEstado(estadoColaCups(a[0].toInt(), a[1].toBool(), razones));
          }},
         {QStringLiteral("estadoEscpos"),
          [](const QJsonArray& a) {
              return textoEstado(estadoImpresoraEscpos(leerEstadoEscpos(a[0].toInt(), a[1].toInt(), a[2].toInt())));
          }},
         {QStringLiteral("globoPorCambio"),
          [](const QJsonArray& a) {
              const auto nombre = [](const QString& t) {
                  for (const EstadoImpresora e : todosLosEstados)
                      if (textoEstado(e) == t)
                          return e;
                  return EstadoImpresora::Desconocido;
              };
              const auto g = globoPorCambio(QStringLiteral("Cocina"), nombre(a[0].toString()), nombre(estadoDe(a[1])));
              return g ? g->mensaje + QStringLiteral(" (%1)").arg(nombreIconoGlobo(g->icono)) : QStringLiteral("nada");
          }},
         {QStringLiteral("responderMetricas"), [](const QJsonArray& a) {
              const Metricas m(QStringLiteral("1"), {}, {}, {});
              return QString::number(responderMetricas(a[0].toString().toUtf8(), m).codigo);
          }}});
}

/// A journal whose writes fail while rota is true: it keeps entries in memory under provisional numbers until
/// its memory is full too (llena).
struct DiarioFalso : DiarioTrabajos {
    bool rota = false;
    bool llena = false;
    qint64 n = 0;
    qint64 provisional = 0;
    QStringList actualizados;
    qint64 anotar(const EntradaTrabajo&) override { return !rota ? ++n : llena ? 0 : --provisional; }
    void actualizar(qint64 numero, EstadoTrabajo estado, const QString&, const QString&, qint64) override {
        actualizados << QStringLiteral("%1 %2").arg(numero).arg(nombreEstadoTrabajo(estado));
    }
};

TEST(Salud, ElRegistroCuentaCadaDocumentoEnSuImpresoraYEmpiezaCadaDia) {
    QDateTime ahora(QDate(2026, 5, 18), QTime(23, 50));
    auto registro = std::make_shared<RegistroImpresoras>([&] { return ahora; });
    auto falso = std::make_shared<DiarioFalso>();
    DiarioObservado diario(falso, registro);
    QSignalSpy errores(registro.get(), &RegistroImpresoras::diarioFallido);
    const auto entrada = [](TipoTrabajo tipo, const QString& pedida, EstadoTrabajo estado) {
        EntradaTrabajo e;
        e.tipo = tipo, e.pedida = pedida, e.usada = pedida, e.estado = estado;
        return e;
    };
    // Re-routed after "enviando"; failed at once; printed with the journal's file broken, then with its memory
    // full too: all four counted, and only the entry the journal lost keeps its changes from it.
    const qint64 a = diario.anotar(entrada(TipoTrabajo::Comanda, QStringLiteral("Cocina"), EstadoTrabajo::Enviando));
    diario.actualizar(a, EstadoTrabajo::Reenviado, QStringLiteral("Facturas"), QStringLiteral("sin papel"));
    diario.anotar(entrada(TipoTrabajo::Cajon, QStringLiteral("cocina "), EstadoTrabajo::Fallido));
    falso->rota = true;
    for (const bool llena : {false, true}) {
        falso->llena = llena;
        const qint64 b =
            diario.anotar(entrada(TipoTrabajo::Comanda, QStringLiteral("Cocina"), EstadoTrabajo::Enviando));
        diario.actualizar(b, EstadoTrabajo::Enviando, QStringLiteral("Cocina"), {});
        diario.actualizar(b, EstadoTrabajo::Impreso, QStringLiteral("Cocina"), {});
        EXPECT_LT(b, 0);
    }
    EXPECT_EQ(falso->actualizados,
              QStringList({QStringLiteral("1 reenviado"), QStringLiteral("-1 enviando"), QStringLiteral("-1 impreso")}))
        << "a number the journal never gave went on, or one it keeps in memory did not";
    EXPECT_EQ(errores.count(), 2);
    const FichaImpresora* f = registro->ficha(QStringLiteral("COCINA"));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::tuple(f->impresos, f->reenviados, f->fallidos), std::tuple(2, 1, 1));
    EXPECT_EQ(f->descripcionUltimo, QStringLiteral("comanda impreso"));
    ahora = ahora.addSecs(20 * 60);
    EXPECT_EQ(registro->fichas().value(0).impresos, 0) << "today's counts start again at midnight";
    EXPECT_EQ(registro->fichas().value(0).ultimoDocumento.time(), QTime(23, 50));
}

TEST(Salud, UnaLecturaSinNombreValeParaTodasLasImpresorasDeEsaClaseYSoloLosCambiosSeAvisan) {
    RegistroImpresoras registro;
    QSignalSpy cambios(&registro, &RegistroImpresoras::estadoCambiado);
    registro.leer({QStringLiteral("Caja"), ClaseImpresora::Cups, QStringLiteral("usb://x"), EstadoImpresora::Lista});
    registro.leer(
        {QStringLiteral("Cocina"), ClaseImpresora::Escpos, QStringLiteral("tcp://y"), EstadoImpresora::Lista});
    registro.leer({QStringLiteral("Caja"), ClaseImpresora::Cups, {}, EstadoImpresora::Lista});
    registro.leer({{}, ClaseImpresora::Cups, {}, EstadoImpresora::NoResponde});
    ASSERT_EQ(registro.fichas().size(), 2);
    EXPECT_EQ(registro.ficha(QStringLiteral("Caja"))->estado, EstadoImpresora::NoResponde);
    EXPECT_EQ(registro.ficha(QStringLiteral("Caja"))->destino, QStringLiteral("usb://x"));
    EXPECT_EQ(registro.ficha(QStringLiteral("Cocina"))->estado, EstadoImpresora::Lista);
    EXPECT_EQ(cambios.count(), 3) << "the same state heard again is no change";
}

TEST(Salud, LaExposicionEsLaDorada) {
    Metricas m(QStringLiteral("1.2.3"), {QStringLiteral("comanda"), QStringLiteral("cajon")},
               {QStringLiteral("comanda")}, {QStringLiteral("impreso"), QStringLiteral("reenviado")});
    m.fijarEnlace(true);
    m.fijarEnlace(false);
    m.fijarEnlace(true);
    m.fijarEnlace(true);
    m.contarMensaje(QStringLiteral("comanda"));
    m.contarMensaje(QStringLiteral("pedido-nuevo"));
    m.fijarImpresora(QStringLiteral("Cocina \"1\"\\piso\n2"), EstadoImpresora::SinPapel,
                     QDateTime::fromSecsSinceEpoch(1716057730));
    m.fijarImpresora(QStringLiteral("Bar"), EstadoImpresora::Lista, {});
    m.contarDocumento(QStringLiteral("comanda"), QStringLiteral("Bar"), QStringLiteral("reenviado"));
    m.contarDocumento(QStringLiteral("cajon"), QStringLiteral("Caja"), QStringLiteral("fallido"));
    m.contarErrorDiario();
    QStringList lineas = QString::fromUtf8(m.exposicion()).split(u'\n');
    // The process's own numbers change from run to run: present, and left out of the comparison.
    EXPECT_EQ(lineas.filter(QRegularExpression(QStringLiteral("^process_[a-z_]+ [0-9.]+$"))).size(), 2);
    lineas.removeIf([](const QString& l) { return l.contains(QStringLiteral("process_")); });
    compararConDorado(carpetaDatos(QStringLiteral("salud/exposicion.txt")), lineas.join(u'\n'));
}

/// The endpoint with small limits, and clients that talk to it over loopback.
struct ServidorTest : ::testing::Test {
    Metricas metricas{QStringLiteral("1"), {}, {}, {}};
    ServidorMetricas servidor{metricas, LimitesMetricas{1024, 300ms, 4}};
    void SetUp() override { ASSERT_TRUE(servidor.escuchar(QHostAddress::LocalHost, 0, std::nullopt, nullptr)); }

    /// Everything the endpoint sends back before it closes, after datos ("<abierta>" when it did not close).
    QByteArray pedir(QTcpSocket& s, const QByteArray& datos) {
        s.connectToHost(QHostAddress::LocalHost, servidor.puerto());
        s.write(datos);
        QByteArray r;
        const bool cerrada = esperarHasta([&] {
            r += s.readAll();
            return s.state() == QAbstractSocket::UnconnectedState;
        });
        return r + s.readAll() + (cerrada ? "" : "<abierta>");
    }
};

TEST_F(ServidorTest, UnClienteHostilSeCortaYLosDemasSiguenSiendoAtendidos) {
    QTcpSocket lento, largo, normal;
    EXPECT_EQ(pedir(lento, "GET /metr"), QByteArray()) << "a request that never ends is cut at the time limit";
    EXPECT_TRUE(pedir(largo, QByteArray(20000, 'a')).startsWith("HTTP/1.1 431 "));
    std::vector<std::unique_ptr<QTcpSocket>> multitud;
    for (int i = 0; i < 50; ++i) {
        multitud.push_back(std::make_unique<QTcpSocket>());
        multitud.back()->connectToHost(QHostAddress::LocalHost, servidor.puerto());
    }
    EXPECT_TRUE(esperarHasta([&] {
        return std::all_of(multitud.begin(), multitud.end(),
                           [](const auto& s) { return s->state() == QAbstractSocket::UnconnectedState; });
    })) << "connections beyond the limit are closed, the others at their time limit";
    const QByteArray r = pedir(normal, "GET /metrics?x=1 HTTP/1.1\r\nHost: a\r\n\r\n");
    EXPECT_TRUE(r.startsWith("HTTP/1.1 200 OK\r\nContent-Type: text/plain; version=0.0.4")) << r.left(80).data();
    EXPECT_TRUE(r.contains("\r\n\r\n# HELP kestrel_build_info ")) << r.right(40).data();
}

TEST(Salud, UnaImpresoraDeRecibosDiceSuEstadoAlSondearlaYAlrededorDeCadaDocumento) {
    QTemporaryDir carpeta;
    EmuladorEscpos emulador({carpeta.path(), {}, puntosRollo80, 0, false, 0});
    EmuladorEscpos sorda({carpeta.path(), {}, puntosRollo80, 0, true, 0});
    ASSERT_TRUE(emulador.escuchar(0, QHostAddress::LocalHost) && sorda.escuchar(0, QHostAddress::LocalHost));
    auto sistema = crearSistemaEscpos(
        std::make_unique<SistemaVistaTexto>(QStringList{QStringLiteral("Facturas")}),
        {*leerDestinoEscpos(QStringLiteral("Cocina=tcp://127.0.0.1:%1").arg(emulador.puerto()), nullptr),
         *leerDestinoEscpos(QStringLiteral("Sorda=tcp://127.0.0.1:%1").arg(sorda.puerto()), nullptr)},
        nullptr, {500ms, 300ms, 200ms});
    QStringList oidas;
    sistema->observarEstados([&](const LecturaImpresora& l) {
        oidas << QStringLiteral("%1 %2 %3").arg(l.nombre, textoClase(l.clase), textoEstado(l.estado));
    });
    // The last state heard of that printer is ultima.
    const auto hasta = [&](const QString& ultima, qsizetype desde = 0) {
        const QString nombre = ultima.section(u' ', 0, 0) + u' ';
        return esperarHasta([&] {
            for (qsizetype i = oidas.size() - 1; i >= desde; --i) {
                if (oidas[i].startsWith(nombre))
                    return oidas[i] == ultima;
            }
            return false;
        });
    };
    sistema->sondearEstados();
    EXPECT_TRUE(hasta(QStringLiteral("Cocina ESC/POS lista"))) << oidas.join(u',').toStdString();
    EXPECT_TRUE(hasta(QStringLiteral("Sorda ESC/POS lista"))) << "a silent printer that takes connections";
    // One that stopped taking a document is not back because its next probe, which it does not answer either,
    // is trusted for printing.
    sistema->escribirCrudo(QStringLiteral("Sorda"), QByteArray(16 << 20, 'x'));
    EXPECT_TRUE(hasta(QStringLiteral("Sorda ESC/POS no responde"))) << oidas.join(u',').toStdString();
    const qsizetype tras = oidas.size();
    sistema->sondearEstados();
    EXPECT_TRUE(hasta(QStringLiteral("Sorda ESC/POS no responde"), tras)) << oidas.join(u',').toStdString();
    emulador.fijarEstado({false, false, false, true});
    sistema->sondearEstados();
    EXPECT_TRUE(hasta(QStringLiteral("Cocina ESC/POS papel por acabarse"))) << oidas.join(u',').toStdString();
    // The paper ends with a ticket: the status asked after it says so without any poll.
    emulador.fijarEstado({false, false, true, false});
    sistema->seleccionar(1);
    sistema->actual().imprimir({ElementoLinea::deTexto(QStringLiteral("hola"))});
    sistema->actual().finDocumento();
    EXPECT_TRUE(hasta(QStringLiteral("Cocina ESC/POS sin papel"))) << oidas.join(u',').toStdString();
}

} // namespace
