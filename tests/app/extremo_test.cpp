#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include "tablas.h"

namespace kestrel {
namespace {

// The two programs as shipped: the demo service sends a message to the agent, which answers it.
class Extremo : public ::testing::Test {
protected:
    const QString servicio = QStringLiteral(KESTREL_RUTA_SERVICIO);
    const QString agente = QStringLiteral(KESTREL_RUTA_AGENTE);
    QTemporaryDir dir;

    static quint16 puertoLibre() {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        return s.serverPort();
    }

    // The agent as a user starts it, with no display.
    void arrancarAgente(QProcess& ag, const QStringList& argumentos, const QString& vigilancia = {}) {
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!vigilancia.isEmpty())
            entorno.insert(QStringLiteral("KESTREL_INTERVALO_VIGILANCIA_MS"), vigilancia);
        ag.setProcessEnvironment(entorno);
        ag.start(agente, argumentos);
    }

    void escribir(const QString& nombre, const QByteArray& contenido) {
        ASSERT_TRUE(prueba::escribirArchivo(dir.filePath(nombre), contenido));
    }
};

TEST_F(Extremo, ElServicioDeDemostracionYElAgenteSeEntienden) {
    escribir(QStringLiteral("Acceso"), "123456789012345\r\n");
    escribir(QStringLiteral("cajon.json"), R"({"tipo":"cajon","config":[],"dato":{}})");
    escribir(QStringLiteral("roto.json"), "esto no es json");
    const QString puerto = QString::number(puertoLibre());

    QProcess srv;
    srv.start(servicio, {"--puerto", puerto, "--enviar", dir.filePath(QStringLiteral("cajon.json")), "--enviar",
                         dir.filePath(QStringLiteral("roto.json")), "--salir-tras-respuestas", "2"});
    ASSERT_TRUE(srv.waitForStarted());
    ASSERT_TRUE(srv.waitForReadyRead(5000));

    QProcess ag;
    arrancarAgente(ag, {"--carpeta", dir.path(), "--servidor", "127.0.0.1:" + puerto}, QStringLiteral("20"));
    ASSERT_TRUE(ag.waitForStarted());

    const bool termino = srv.waitForFinished(15000);
    ag.kill();
    ag.waitForFinished();
    ASSERT_TRUE(termino) << "the service did not get its two replies";
    EXPECT_EQ(srv.exitCode(), 0);
    const QString salida = QString::fromUtf8(srv.readAllStandardOutput());
    const QStringList lineas = salida.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList id =
        lineas.filter(QStringLiteral(" identificacion {\"idSyA\":\"123456789012345\",\"type\":\"id\"}"));
    const QStringList estados =
        lineas.filter(QStringLiteral(" estado {\"idSyA\":\"123456789012345\",\"status\":\"0\"}"));
    EXPECT_EQ(id.size(), 1) << salida.toStdString();
    EXPECT_EQ(estados.size(), 2) << "both messages answered, the broken one too\n" << salida.toStdString();
    // Each line starts with its time stamp.
    for (const QString& l : id + estados)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "))
                        .match(l)
                        .hasMatch())
            << l.toStdString();
    // Without a notification area the balloons go to standard error.
    const QString errores = QString::fromLocal8Bit(ag.readAllStandardError());
    EXPECT_TRUE(errores.contains(QStringLiteral("Sistema de impresora: Conectando al servidor de impresion")))
        << errores.toStdString();
    EXPECT_TRUE(
        errores.contains(QStringLiteral("Sistema de impresora: Servidor de impresoras conextado correctamente")));
}

TEST_F(Extremo, OpcionesNoValidasTerminanConSuMotivo) {
    struct Caso {
        QStringList argumentos;
        const char* motivo;
    };
    const Caso casos[] = {
        {{"--servidor", "host:0"}, "puerto no valido"},
        {{"--codificacion", "inventada-9"}, "codificacion desconocida"},
        {{"--opcion-rara"}, "opcion desconocida"},
    };
    for (const Caso& c : casos) {
        QProcess ag;
        arrancarAgente(ag, c.argumentos);
        ASSERT_TRUE(ag.waitForFinished(10000));
        EXPECT_EQ(ag.exitCode(), 2) << c.motivo;
        EXPECT_TRUE(QString::fromLocal8Bit(ag.readAllStandardError()).contains(QString::fromUtf8(c.motivo)))
            << c.motivo;
    }
    QProcess ayuda;
    arrancarAgente(ayuda, {"--help"});
    ASSERT_TRUE(ayuda.waitForFinished(10000));
    const QString texto = QString::fromLocal8Bit(ayuda.readAllStandardOutput());
    for (const char* opcion : {"--servidor HOST[:PUERTO]", "--carpeta DIR", "--codificacion NOMBRE"})
        EXPECT_TRUE(texto.contains(QString::fromLatin1(opcion))) << opcion;
}

} // namespace
} // namespace kestrel
