#include <gtest/gtest.h>

#include <QJsonObject>
#include <QRegularExpression>

#include <memory>

#include "app/enlace.h"
#include "salida_enlace_prueba.h"
#include "servicio_prueba.h"
#include "tablas.h"

namespace kestrel {
namespace {

using prueba::esperarHasta;
using prueba::SalidaEnlacePrueba;
using prueba::ServicioPrueba;

const QString codigo = QStringLiteral("123456789012345");
const QByteArray estadoLibre = QByteArrayLiteral("{\"idSyA\":\"123456789012345\",\"status\":\"0\"}");
const QByteArray estadoOcupado = QByteArrayLiteral("{\"idSyA\":\"123456789012345\",\"status\":\"1\"}");
const QString lineaFin = QStringLiteral("------------------------------ fin ------------------------------");

// The watch ticks every 20 ms instead of every second; the status timer is off unless a test sets it.
class EnlaceTest : public ::testing::Test {
protected:
    ServicioPrueba servicio;
    SalidaEnlacePrueba salida;
    QStringList procesados;
    std::function<void(const QString&)> alProcesar;
    std::unique_ptr<Enlace> enlace;

    void SetUp() override { ASSERT_TRUE(servicio.escuchar()); }

    void crear(ConfiguracionEnlace c = {}) {
        c.servidor = QStringLiteral("127.0.0.1");
        c.puerto = servicio.puerto();
        c.intervaloVigilancia = 20;
        if (c.intervaloPing == ConfiguracionEnlace().intervaloPing)
            c.intervaloPing = 3600 * 1000;
        enlace = std::make_unique<Enlace>(c, salida, [this](const QString& m) {
            procesados << m;
            if (alProcesar)
                alProcesar(m);
        });
        enlace->codigoSucursal = codigo;
        enlace->reconectar = true;
        enlace->iniciar();
    }

    void conectado(int identificaciones = 1) {
        ASSERT_TRUE(esperarHasta([&] { return servicio.identificaciones().size() == identificaciones; }))
            << "no identification arrived";
        ASSERT_TRUE(esperarHasta([&] { return enlace->estadoSocket() == 7; }));
    }
};

// Each message's log starts afresh and ends with the reply; a failure while processing still gets its reply.
TEST_F(EnlaceTest, ElRegistroDeCadaMensajeEmpiezaDeCeroYTerminaConLaRespuesta) {
    alProcesar = [this](const QString& m) {
        if (m == QLatin1String("tres"))
            throw std::runtime_error("se rompio");
        salida.agregarLog(QStringLiteral("procesando ") + m);
    };
    crear();
    conectado();
    servicio.enviar("uno_endMessage_dos_endMessage_");
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 2; }));
    EXPECT_EQ(procesados, (QStringList{"uno", "dos"}));
    EXPECT_EQ(salida.log, (QStringList{"procesando dos", QString::fromLatin1(estadoLibre), lineaFin}));
    servicio.enviar("tres_endMessage_");
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 3; }));
    EXPECT_EQ(salida.log,
              (QStringList{"Error al procesar el mensaje: se rompio", QString::fromLatin1(estadoLibre), lineaFin}));
}

// Bytes from the service and what the agent processes and reports of them: tests/data/tablas/enlace.json. A
// chunk given as text is sent once the previous one has been read, so each is a read of its own; the bytes are
// the text's Latin-1 codes. Cutting the marker itself is the framer's own table.
TEST_F(EnlaceTest, Tablas) {
    prueba::comprobarTablas(
        QStringLiteral("enlace"),
        {{QStringLiteral("leer"), [&](const QJsonArray& a) {
              enlace.reset();
              procesados.clear();
              servicio.textos.clear();
              salida.historial.clear();
              const QJsonObject opciones = a[0].toObject();
              ConfiguracionEnlace c;
              c.codificacion = opciones[QStringLiteral("codificacion")].toString(c.codificacion);
              c.limiteMensaje = opciones[QStringLiteral("limite")].toInt(c.limiteMensaje);
              crear(c);
              int conexiones = 1;
              conectado();
              for (const QJsonValue& paso : a[1].toArray()) {
                  const QJsonObject o = paso.toObject();
                  if (o.contains(QStringLiteral("cerrar"))) {
                      servicio.cerrarCliente();
                      conectado(++conexiones);
                      continue;
                  }
                  const QByteArray bytes = (paso.isString() ? paso : o[QStringLiteral("enviar")]).toString().toLatin1();
                  const QString leido =
                      paso.isString() ? QString::fromUtf8(bytes) : o[QStringLiteral("esperar")].toString();
                  const qsizetype antes = salida.historial.size();
                  servicio.enviar(bytes);
                  EXPECT_TRUE(esperarHasta([&] {
                      return leido.isEmpty() || !salida.historial.mid(antes).filter(leido).isEmpty();
                  })) << bytes.constData();
              }
              EXPECT_TRUE(esperarHasta(
                  [&] { return servicio.estados().size() == opciones[QStringLiteral("respuestas")].toInt(); }));
              EXPECT_EQ(servicio.estados(), QList<QByteArray>(servicio.estados().size(), estadoLibre));
              EXPECT_EQ(salida.log.last(), lineaFin);
              QStringList obtenido;
              for (const QString& h : salida.historial)
                  if (h.contains(QStringLiteral("descart"), Qt::CaseInsensitive) ||
                      h.contains(QStringLiteral("límite")))
                      obtenido << QStringLiteral("aviso ") + h;
              for (const QString& m : procesados)
                  obtenido << QStringLiteral("mensaje ") + m;
              return obtenido.join(u'\n');
          }}});
}

TEST_F(EnlaceTest, ElBotonYElTemporizadorContestanSoloConectados) {
    ConfiguracionEnlace c;
    c.intervaloPing = 40;
    crear(c);
    // Closed: nothing is sent and nothing is logged.
    enlace->reconectar = false;
    enlace->enviarEstado();
    EXPECT_TRUE(salida.historial.isEmpty());
    enlace->reconectar = true;
    conectado();
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() >= 3; })) << "status timer";
    for (const QByteArray& e : servicio.estados())
        EXPECT_EQ(e, estadoLibre);
    const qsizetype antes = servicio.estados().size();
    enlace->enviarEstado();
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() > antes; }));
    EXPECT_TRUE(salida.log.contains(QString::fromLatin1(estadoLibre)));
}

// Identified on connecting (the 39 bytes alone, no marker), the link comes back by itself after the service
// closes (not an error: no error line) and after the service refuses (one error line and one balloon per
// failed attempt).
TEST_F(EnlaceTest, SeIdentificaYSeReconectaTrasUnCierreOUnRechazo) {
    crear();
    conectado();
    EXPECT_EQ(servicio.crudo, QByteArrayLiteral("{\"idSyA\":\"123456789012345\",\"type\":\"id\"}"));
    EXPECT_EQ(salida.conexiones.last(),
              std::make_pair(true, QStringLiteral("Servidor de impresoras conextado correctamente")));
    ASSERT_TRUE(esperarHasta([&] { return salida.estado == QLatin1String("status 7"); }));
    servicio.cerrarCliente();
    ASSERT_TRUE(
        esperarHasta([&] { return salida.globos.contains(QStringLiteral("Servidor de impresoras desconectado")); }));
    EXPECT_EQ(salida.conexiones.last(), std::make_pair(false, QStringLiteral("DesConectando")));
    conectado(2);
    EXPECT_EQ(servicio.conexiones, 2);
    EXPECT_TRUE(salida.historial.filter(QStringLiteral("Error: ")).isEmpty());

    const quint16 puerto = servicio.puerto();
    servicio.detener();
    salida.globos.clear();
    ASSERT_TRUE(esperarHasta([&] { return salida.historial.filter(QStringLiteral("Error: ")).size() >= 3; }));
    const QStringList errores = salida.historial.filter(QStringLiteral("Error: "));
    EXPECT_EQ(errores.filter(QRegularExpression(QStringLiteral("^Error: 10061-"))), errores);
    EXPECT_EQ(errores.size(), salida.globos.filter(QRegularExpression(QStringLiteral("^10061-"))).size());
    ASSERT_TRUE(servicio.escuchar(puerto));
    conectado(3);
}

// The invoice yields to the event loop: a reply sent meanwhile says busy, and a message arriving meanwhile
// waits for the current one and is processed once.
TEST_F(EnlaceTest, DuranteUnaCesionLaRespuestaDiceOcupadoYElSiguienteMensajeEspera) {
    QStringList eventos;
    alProcesar = [&](const QString& m) {
        eventos << QStringLiteral("inicio ") + m;
        if (m == QLatin1String("lento")) {
            servicio.enviar("rapido_endMessage_");
            EXPECT_TRUE(esperarHasta([&] { return enlace->enmarcador().mensajesPendientes() == 1; }));
            enlace->enviarEstado();
            EXPECT_TRUE(esperarHasta([&] { return servicio.estados().size() == 1; }));
            EXPECT_EQ(enlace->ocupado(), 1);
        }
        eventos << QStringLiteral("fin ") + m;
    };
    crear();
    conectado();
    servicio.enviar("lento_endMessage_");
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 3; }));
    EXPECT_EQ(eventos, (QStringList{"inicio lento", "fin lento", "inicio rapido", "fin rapido"}));
    EXPECT_EQ(servicio.estados(), (QList<QByteArray>{estadoOcupado, estadoLibre, estadoLibre}));
    EXPECT_EQ(enlace->ocupado(), 0);
}

TEST_F(EnlaceTest, UnIntentoQueNoTerminaSeAbandonaComoTiempoAgotado) {
    ConfiguracionEnlace c;
    c.limiteIntentoConexion = -1;
    crear(c);
    conectado();
    // A connect in progress is given up at the next tick past the limit.
    enlace->reconectar = false;
    enlace->conectar();
    ASSERT_EQ(enlace->estadoSocket(), 6);
    enlace->Timer1_Timer();
    EXPECT_TRUE(salida.historial.last().startsWith(QStringLiteral("Error: 10060-")))
        << salida.historial.last().toStdString();
    EXPECT_EQ(enlace->estadoSocket(), 0);
    // Without reconnecting, the watch never opens again.
    enlace->Timer1_Timer();
    EXPECT_EQ(enlace->estadoSocket(), 0);
}

} // namespace
} // namespace kestrel
