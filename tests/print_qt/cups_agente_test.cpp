#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>

#include "apoyo.h"
#include "tablas.h"

// The whole road of a job: kestrel-servicio sends a message over TCP, kestrel-agente prints it on the
// installed printers, which here are the private scheduler's capture queues (Facturas is the default).

namespace {

QString datos(const char* nombre) {
    return kestrel::prueba::carpetaDatos(QStringLiteral("print_qt/") + QString::fromUtf8(nombre));
}

using namespace prueba;

quint16 puertoLibre() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

class AgenteCups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(caja().isEmpty()) << "falta la caja de CUPS de la prueba";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(kestrel::prueba::escribirArchivo(dir.filePath(QStringLiteral("Acceso")), "123456789012345\n"));
        esperarColaVacia();
    }

    /// Runs the service with these messages and the agent against it until every message is answered.
    void atender(const QStringList& mensajes) {
        const quint16 puerto = puertoLibre();
        QStringList argumentos{"--puerto", QString::number(puerto), "--salir-tras-respuestas",
                               QString::number(mensajes.size())};
        for (const QString& m : mensajes)
            argumentos << QStringLiteral("--enviar") << m;
        QProcess servicio;
        servicio.setProcessChannelMode(QProcess::MergedChannels);
        servicio.start(QStringLiteral(KESTREL_SERVICIO), argumentos);
        ASSERT_TRUE(servicio.waitForStarted());
        ASSERT_TRUE(esperarHasta([&] { return servicio.readAll().contains("escuchando"); }, 10000));

        QProcess agente;
        agente.setProcessChannelMode(QProcess::MergedChannels);
        agente.start(QStringLiteral(KESTREL_AGENTE),
                     {"--carpeta", dir.path(), "--servidor", QStringLiteral("127.0.0.1:%1").arg(puerto)});
        ASSERT_TRUE(agente.waitForStarted());
        const bool respondido = servicio.waitForFinished(60000);
        agente.terminate();
        if (!agente.waitForFinished(10000)) {
            agente.kill();
            agente.waitForFinished();
        }
        if (!respondido) {
            servicio.kill();
            servicio.waitForFinished();
        }
        ASSERT_TRUE(respondido) << "el agente no respondio todos los mensajes:\n" << agente.readAll().toStdString();
        EXPECT_EQ(servicio.exitCode(), 0);
    }

    QTemporaryDir dir;
};

TEST_F(AgenteCups, UnaComandaDeDosAreasSaleEnLaColaDeCadaArea) {
    const QStringList antes = archivos(capturas());
    atender({datos("comanda-cocina-bar.json")});
    const auto nuevos = esperarTrabajos(antes, 2);
    ASSERT_EQ(nuevos.keys(), (QStringList{"Bar", "Cocina"}));
    const QString texto = textoPdf(nuevos.value("Cocina"));
    for (const char* linea : {"COCINA", "Mesa 12", "-> SIN CHICHARRON", "TOTAL 85000", "ATIENDE: ANA MARIA",
                              "Pedido 4711", "2024-01-05 12:30:00"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(linea))) << linea << "\n" << texto.toStdString();
    EXPECT_TRUE(texto.contains(QRegularExpression(QStringLiteral("2\\s+Bandeja paisa\\s+64\\.000"))))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains(QRegularExpression(QStringLiteral("3\\s+Arepa de choclo\\s+21\\.000"))));
    EXPECT_FALSE(texto.contains(QLatin1String("Limonada")));
    EXPECT_TRUE(textoPdf(nuevos.value("Bar")).contains(QLatin1String("Limonada de coco")));
}

TEST_F(AgenteCups, UnaColaDetenidaMandaElTicketALaPredeterminadaConElAviso) {
    const QStringList antes = archivos(capturas());
    {
        // Bar unusable while the agent prints, enabled again whatever the test does.
        ejecutar(QStringLiteral("cupsdisable"), {QStringLiteral("Bar")});
        const auto habilitar = qScopeGuard([] { ejecutar(QStringLiteral("cupsenable"), {QStringLiteral("Bar")}); });
        atender({datos("comanda-cocina-bar.json")});
    }
    const auto nuevos = esperarTrabajos(antes, 2);
    ASSERT_EQ(nuevos.keys(), (QStringList{"Cocina", "Facturas"}));
    const QString texto = textoPdf(nuevos.value("Facturas"));
    EXPECT_TRUE(texto.trimmed().startsWith(QLatin1String("Error en Impresora Facturas\n"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QLatin1String("Limonada de coco")));
    EXPECT_TRUE(texto.contains(QLatin1String("BAR")));
}

TEST_F(AgenteCups, ElCajonEsUnSoloTrabajoCrudoConLosCincoBytes) {
    const QStringList antes = archivos(capturas());
    atender({datos("cajon.json")});
    const auto nuevos = esperarTrabajos(antes, 1);
    ASSERT_EQ(nuevos.keys(), QStringList{"Facturas"}) << "abrir el cajon no imprime nada";
    EXPECT_EQ(leerArchivo(nuevos.first()).toHex(' '), QByteArray("1b 70 00 3c f0"));
}

} // namespace
