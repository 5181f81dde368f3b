#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>
#include <sys/types.h>

#include "apoyo.h"
#include "print/qt/hilo_cups.h"
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

/// A queue that prints on one of the sandbox's failing printers for the length of a test.
class ColaAveriada {
public:
    ColaAveriada(QString cola, const char* uri) : m_cola(std::move(cola)) {
        ejecutar(QStringLiteral("lpadmin"), {"-p", m_cola, "-v", QString::fromUtf8(uri)});
    }
    ~ColaAveriada() {
        ejecutar(QStringLiteral("lpadmin"), {"-p", m_cola, "-v", "capture:" + capturas().filePath(m_cola)});
        ejecutar(QStringLiteral("cupsenable"), {m_cola});
    }
    ColaAveriada(const ColaAveriada&) = delete;
    ColaAveriada& operator=(const ColaAveriada&) = delete;

private:
    QString m_cola;
};

/// The scheduler frozen (SIGSTOP) until deshelar or the end of the scope, thawed whatever the test does.
class Congelado {
public:
    Congelado() : m_pid(static_cast<pid_t>(leerArchivo(caja() + QStringLiteral("/cupsd.pid")).trimmed().toInt())) {
        EXPECT_GT(m_pid, 0);
        if (m_pid > 0)
            ::kill(m_pid, SIGSTOP);
    }
    ~Congelado() { deshelar(); }
    Congelado(const Congelado&) = delete;
    Congelado& operator=(const Congelado&) = delete;
    void deshelar() {
        if (m_pid > 0)
            ::kill(std::exchange(m_pid, 0), SIGCONT);
    }

private:
    pid_t m_pid;
};

/// Lets the event loop run for a while, as a pause of the scheduler lasts.
void pausa(int ms) {
    esperarHasta([] { return false; }, ms);
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
    /// The journal's line for entry n without number and time, once it is no longer "enviando" (or 60 s).
    QString trabajo(int n) {
        QString linea;
        esperarHasta(
            [&] {
                const auto lista = ejecutar(KESTREL_AGENTE, {"--trabajos", "--carpeta", dir.path()}).texto;
                linea = QString::fromUtf8(lista).split('\n').value(n - 1).section('\t', 2);
                return !linea.isEmpty() && !linea.contains(QLatin1String("\tenviando\t"));
            },
            60000);
        return linea;
    }

    /// Runs the service with these messages and the agent against it until every message is answered and
    /// listo holds (the agent's output then).
    QString atender(const QStringList& mensajes, const QStringList& opciones = {},
                    const std::function<bool()>& listo = {}) {
        QString salida;
        atenderHasta(mensajes, opciones, listo, &salida);
        return salida;
    }

    void atenderHasta(const QStringList& mensajes, const QStringList& opciones, const std::function<bool()>& listo,
                      QString* salida) {
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
                     QStringList{"--carpeta", dir.path(), "--servidor", QStringLiteral("127.0.0.1:%1").arg(puerto)} +
                         opciones);
        ASSERT_TRUE(agente.waitForStarted());
        const bool respondido = servicio.waitForFinished(60000);
        if (respondido && listo) {
            EXPECT_TRUE(esperarHasta(listo, 60000));
        }
        agente.terminate();
        if (!agente.waitForFinished(10000)) {
            agente.kill();
            agente.waitForFinished();
        }
        if (!respondido) {
            servicio.kill();
            servicio.waitForFinished();
        }
        *salida = QString::fromUtf8(agente.readAll());
        ASSERT_TRUE(respondido) << "el agente no respondio todos los mensajes:\n" << salida->toStdString();
        EXPECT_EQ(servicio.exitCode(), 0);
    }

    /// A kitchen order for Cocina alone, numbered pedido, as a message file.
    QString comanda(int pedido) {
        QString texto = QString::fromUtf8(leerArchivo(datos("comanda-cocina-bar.json")));
        texto.replace(QStringLiteral("4711"), QString::number(pedido));
        const qsizetype bar = texto.indexOf(QStringLiteral("\"area\": \"Bar\""));
        texto = texto.left(texto.lastIndexOf(QLatin1Char('{'), bar)).trimmed();
        texto.chop(1); // the comma before Bar's order
        texto += QStringLiteral("]}");
        const QString ruta = dir.filePath(QStringLiteral("pedido-%1.json").arg(pedido));
        EXPECT_TRUE(kestrel::prueba::escribirArchivo(ruta, texto.toUtf8()));
        return ruta;
    }

    /// The journal's lines (without number and time) once none is "enviando" any more (or 60 s).
    QStringList diario() {
        QStringList lineas;
        esperarHasta(
            [&] {
                lineas.clear();
                const auto lista = ejecutar(KESTREL_AGENTE, {"--trabajos", "--carpeta", dir.path()}).texto;
                for (const QString& l : QString::fromUtf8(lista).split('\n', Qt::SkipEmptyParts))
                    lineas << l.section('\t', 2);
                return !lineas.join('\n').contains(QLatin1String("\tenviando\t"));
            },
            60000);
        return lineas;
    }

    /// A service on puerto that sends these messages to the agent and waits for as many answers.
    void servir(QProcess& servicio, quint16 puerto, const QStringList& mensajes) {
        QStringList argumentos{"--puerto", QString::number(puerto), "--salir-tras-respuestas",
                               QString::number(mensajes.size())};
        for (const QString& m : mensajes)
            argumentos << QStringLiteral("--enviar") << m;
        servicio.setProcessChannelMode(QProcess::MergedChannels);
        servicio.start(QStringLiteral(KESTREL_SERVICIO), argumentos);
        ASSERT_TRUE(servicio.waitForStarted());
        ASSERT_TRUE(esperarHasta([&] { return servicio.readAll().contains("escuchando"); }, 10000));
    }

    QTemporaryDir dir;
};

/// The "Pedido N" of each capture of a queue, in the order the scheduler took the jobs.
QStringList pedidosEn(const QMultiMap<QString, QString>& capturas, const QString& cola) {
    QStringList rutas = capturas.values(cola);
    std::sort(rutas.begin(), rutas.end(), [](const QString& a, const QString& b) {
        return a.section('-', -1).toInt() < b.section('-', -1).toInt();
    });
    QStringList pedidos;
    const QRegularExpression pedido(QStringLiteral("Pedido (\\d+)"));
    for (const QString& r : rutas) {
        const QByteArray contenido = leerArchivo(r);
        const QString texto = contenido.startsWith("%PDF") ? textoPdf(r) : QString::fromLatin1(contenido);
        pedidos << pedido.match(texto).captured(1);
    }
    return pedidos;
}

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

TEST_F(AgenteCups, UnaComandaEnUnaColaSinPapelSeCancelaYSaleEnLaPredeterminada) {
    const QStringList antes = archivos(capturas());
    ColaAveriada sinPapel(QStringLiteral("Cocina"), "sinpapel:/");
    const QString salida =
        atender({datos("comanda-cocina-bar.json")}, {}, [&] { return trabajo(1).contains("reenviado"); });
    EXPECT_EQ(trabajo(1), "comanda\tCocina\tFacturas\treenviado\tCocina: sin papel");
    EXPECT_TRUE(salida.contains("Comanda de Cocina no impresa (Cocina: sin papel). Reenviada a Facturas"))
        << salida.toStdString();
    EXPECT_TRUE(ejecutar("lpstat", {"-o", "Cocina"}).texto.isEmpty()) << "el trabajo detenido sigue en la cola";
    const auto nuevos = esperarTrabajos(antes, 2);
    ASSERT_EQ(nuevos.keys(), (QStringList{"Bar", "Facturas"}));
    const QString texto = textoPdf(nuevos.value("Facturas"));
    EXPECT_TRUE(texto.trimmed().startsWith("Error en Impresora Cocina\n")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("COCINA"));
}

TEST_F(AgenteCups, UnTrabajoQueNoTerminaEnElLimiteSeReenvia) {
    ColaAveriada lenta(QStringLiteral("Cocina"), "lenta:/");
    atender({datos("comanda-cocina-bar.json")}, {"--limite-impresion", "2"},
            [&] { return trabajo(1).contains("reenviado"); });
    EXPECT_EQ(trabajo(1), "comanda\tCocina\tFacturas\treenviado\tCocina: no terminó en 2 s");
}

TEST_F(AgenteCups, ElCajonDeUnaColaQueSeDetieneFallaSinReenviarse) {
    const QStringList antes = archivos(capturas());
    ColaAveriada sinPapel(QStringLiteral("Facturas"), "sinpapel:/");
    atender({datos("cajon.json")}, {}, [&] { return trabajo(1).contains("fallido"); });
    EXPECT_EQ(trabajo(1), "cajon\tFacturas\tFacturas\tfallido\tFacturas: sin papel");
    esperarColaVacia();
    EXPECT_EQ(archivos(capturas()), antes) << "el pulso no debe salir en otra cola";
}

TEST_F(AgenteCups, UnTrabajoTerminadoMientrasCupsEstabaCongeladoNoSeReenvia) {
    // A printer that takes 3 s per job, so the job is still printing when the scheduler freezes; its end is
    // only known after the thaw, well before the limit.
    const QString backend = caja() + QStringLiteral("/sb/backend/despacio");
    ASSERT_TRUE(kestrel::prueba::escribirArchivo(
        backend, "#!/bin/sh\n[ $# -eq 0 ] && { echo 'direct despacio \"Unknown\" \"Slow\"'; exit 0; }\nsleep 3\n"
                 "out=\"${DEVICE_URI#despacio:}-$1\"\ncat \"$6\" >\"$out.part\" && mv \"$out.part\" \"$out\"\n"));
    QFile::setPermissions(backend, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList antes = archivos(capturas());
    ColaAveriada despacio(QStringLiteral("Cocina"), ("despacio:" + capturas().filePath("Cocina")).toUtf8().constData());
    bool congelado = false;
    atender({comanda(1)}, {"--limite-impresion", "15"}, [&] {
        if (!congelado) {
            if (ejecutar("lpstat", {"-o", "Cocina"}).texto.isEmpty())
                return false;
            Congelado pausado;
            pausa(8000);
            congelado = true;
        }
        return !trabajo(1).isEmpty();
    });
    EXPECT_EQ(diario(), QStringList{"comanda\tCocina\tCocina\timpreso\t"});
    const auto nuevos = esperarTrabajos(antes, 1);
    EXPECT_EQ(nuevos.keys(), QStringList{"Cocina"}) << "impreso una sola vez";
}

TEST_F(AgenteCups, LasComandasQueLleganConCupsCongeladoEsperanYSalenEnOrden) {
    const QStringList antes = archivos(capturas());
    const quint16 puerto = puertoLibre();
    QProcess agente;
    agente.setProcessChannelMode(QProcess::MergedChannels);
    agente.start(QStringLiteral(KESTREL_AGENTE),
                 {"--carpeta", dir.path(), "--servidor", QStringLiteral("127.0.0.1:%1").arg(puerto),
                  "--limite-impresion", "60"});
    const auto cerrar = qScopeGuard([&] {
        agente.terminate();
        if (!agente.waitForFinished(10000))
            agente.kill();
    });
    {
        // The first order while CUPS answers: the agent knows its printers.
        QProcess servicio;
        servir(servicio, puerto, {comanda(1)});
        ASSERT_TRUE(servicio.waitForFinished(30000));
    }
    QStringList pedidos;
    {
        Congelado congelado;
        QProcess servicio;
        for (int n = 2; n <= 7; ++n)
            pedidos << comanda(n);
        servir(servicio, puerto, pedidos);
        // Every order is answered while the scheduler is still frozen.
        EXPECT_TRUE(servicio.waitForFinished(30000)) << agente.readAll().toStdString();
        const auto lista = QString::fromUtf8(ejecutar(KESTREL_AGENTE, {"--trabajos", "--carpeta", dir.path()}).texto);
        // The first one too: its end is not known yet.
        EXPECT_EQ(lista.count(QLatin1String("\tenviando\t")), 7) << lista.toStdString();
    }
    EXPECT_EQ(diario(), QStringList(7, "comanda\tCocina\tCocina\timpreso\t"));
    const auto nuevos = esperarTrabajos(antes, 7);
    EXPECT_EQ(pedidosEn(nuevos, "Cocina"), (QStringList{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(nuevos.size(), 7);
}

TEST_F(AgenteCups, CongeladoMasAllaDelLimiteCadaComandaSaleUnaVezPorLaPredeterminada) {
    const QStringList antes = archivos(capturas());
    QTemporaryDir salida;
    QStringList pedidos;
    for (int n = 1; n <= 4; ++n)
        pedidos << comanda(n);
    {
        Congelado congelado;
        atender(pedidos,
                {"--impresoras-virtuales", "Facturas", "--salida", salida.path(), "--escpos", "Cocina=cups:Cocina",
                 "--limite-impresion", "3"},
                [&] { return !diario().join('\n').contains(QLatin1String("\tenviando\t")); });
        EXPECT_EQ(diario(), QStringList(4, "comanda\tCocina\tFacturas\treenviado\tCocina: " +
                                               kestrel::descripcionCupsNoResponde()));
    }
    QStringList enFacturas;
    for (const QString& txt : QDir(salida.path()).entryList({"Facturas-*.txt"}, QDir::Files, QDir::Name)) {
        const QString texto = QString::fromUtf8(leerArchivo(salida.filePath(txt)));
        EXPECT_TRUE(texto.startsWith(QLatin1String("Error en Impresora Cocina"))) << texto.toStdString();
        enFacturas << QRegularExpression(QStringLiteral("Pedido (\\d+)")).match(texto).captured(1);
    }
    EXPECT_EQ(enFacturas, (QStringList{"1", "2", "3", "4"}));
    // What the frozen scheduler got half way never prints.
    ejecutar(QStringLiteral("cancel"), {"-a", "Cocina"});
    esperarColaVacia();
    EXPECT_EQ(archivos(capturas()), antes);
}

} // namespace
