#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>

#include <csignal>

#include <cups/cups.h>

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
        // The scheduler keeps the reasons the failing printer gave ("media-empty-error") after its device is
        // changed: a later test reading the queue's state would find it still out of paper.
        ipp_t* peticion = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                         m_cola.toUtf8().constData());
        ippAddString(peticion, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(peticion, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "printer-state-reasons", nullptr, "none");
        ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, peticion, "/admin/"));
    }
    ColaAveriada(const ColaAveriada&) = delete;
    ColaAveriada& operator=(const ColaAveriada&) = delete;

private:
    QString m_cola;
};

/// Freezes the scheduler (SIGSTOP); its pid, to thaw it (SIGCONT).
pid_t congelarCups() {
    const auto pid = static_cast<pid_t>(leerArchivo(caja() + QStringLiteral("/cupsd.pid")).trimmed().toInt());
    EXPECT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    return pid;
}

/// The order number of each kitchen ticket among these files (PDF, text view or ESC/POS bytes), "E" before it
/// when it is headed "Error en Impresora Cocina".
QStringList pedidosDeCocina(QStringList rutas) {
    const auto numero = [](const QString& r) { return r.section('-', -1).section('.', 0, 0).toInt(); };
    std::sort(rutas.begin(), rutas.end(), [&](const QString& a, const QString& b) { return numero(a) < numero(b); });
    QStringList pedidos;
    for (const QString& r : rutas) {
        const QString texto =
            r.endsWith(QLatin1String(".txt")) ? QString::fromUtf8(leerArchivo(r)) : QString::fromLatin1(leerArchivo(r));
        if (texto.contains(QLatin1String("COCINA")))
            pedidos << (texto.contains(QLatin1String("Error en Impresora Cocina")) ? "E" : "") +
                           QRegularExpression(QStringLiteral("Pedido (\\d+)")).match(texto).captured(1);
    }
    return pedidos;
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

    /// The Cocina-and-Bar order numbered pedido, as a message file.
    QString comanda(int pedido) {
        const QString ruta = dir.filePath(QStringLiteral("pedido-%1.json").arg(pedido));
        kestrel::prueba::escribirArchivo(
            ruta, leerArchivo(datos("comanda-cocina-bar.json")).replace("4711", QByteArray::number(pedido)));
        return ruta;
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

TEST_F(AgenteCups, UnTrabajoQueTerminaMientrasCupsEstaCongeladoNoSeReenvia) {
    // A printer that takes 3 s, so the job is still printing when the scheduler freezes for 8 s; its end is only
    // known after the thaw, before the limit. A follow-up that lost track of it would resend it at the limit.
    const QString backend = caja() + QStringLiteral("/sb/backend/despacio");
    kestrel::prueba::escribirArchivo(backend, "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nsleep 3\n"
                                              "cat \"$6\" >\"${DEVICE_URI#despacio:}-$1\"\n");
    QFile::setPermissions(backend, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList antes = archivos(capturas());
    ColaAveriada despacio(QStringLiteral("Cocina"), qPrintable("despacio:" + capturas().filePath("Cocina")));
    bool congelado = false;
    atender({comanda(1)}, {"--limite-impresion", "15"}, [&] {
        if (!congelado && !ejecutar("lpstat", {"-o", "Cocina"}).texto.isEmpty()) {
            const auto deshielo = qScopeGuard([cupsd = congelarCups()] { ::kill(cupsd, SIGCONT); });
            congelado = !esperarHasta([] { return false; }, 8000);
        }
        return congelado && !trabajo(1).isEmpty();
    });
    EXPECT_EQ(trabajo(1), "comanda\tCocina\tCocina\timpreso\t");
    EXPECT_EQ(esperarTrabajos(antes, 2).keys(), (QStringList{"Bar", "Cocina"})) << "una sola vez";
}

TEST_F(AgenteCups, ConCupsCongeladoLasComandasEsperanYSalenUnaVezEnOrden) {
    // Cocina is a receipt printer behind a raw CUPS queue and the default a virtual one, which prints while
    // CUPS is frozen. Frozen until every order is answered, then thawed well before the limit: each waits and
    // prints on Cocina, in order. Frozen past the limit: each goes to the default once, but the one CUPS was
    // taking when it froze, which waits to learn whether CUPS has it.
    const struct {
        const char* limite;
        bool deshelar;
        QStringList diario;
    } casos[] = {{"60", true, QStringList(3, "Cocina\timpreso\t")},
                 {"3", false, QStringList(3, "Facturas\treenviado\tCocina: " + kestrel::descripcionCupsNoResponde())}};
    for (int fila = 0; fila < 2; ++fila) {
        const auto& caso = casos[fila];
        SCOPED_TRACE(caso.limite);
        QTemporaryDir salida;
        const QStringList antes = archivos(capturas());
        QStringList pedidos, diario;
        for (int n = 1; n <= 4; ++n)
            pedidos << comanda(n);
        const pid_t cupsd = congelarCups();
        const auto deshielo = qScopeGuard([cupsd] { ::kill(cupsd, SIGCONT); });
        // The service ends only once every order is answered, while CUPS is still frozen. Entries alternate
        // Cocina and Bar (which goes to the default).
        const QString salidaAgente =
            atender(pedidos,
                    {"--impresoras-virtuales", "Facturas", "--salida", salida.path(), "--escpos", "Cocina=cups:Cocina",
                     "--limite-impresion", caso.limite, "--sondeo-impresoras", "1"},
                    [&] {
                        for (int n = 3; n <= 7 && !caso.deshelar; n += 2)
                            trabajo(8 * fila + n);
                        ::kill(cupsd, SIGCONT);
                        for (int n = 3; n <= 7; n += 2)
                            diario << trabajo(8 * fila + n).section('\t', 2);
                        return !trabajo(8 * fila + 1).isEmpty();
                    });
        EXPECT_EQ(diario, caso.diario);
        // Polled every second while frozen: one balloon when Cocina stops answering, not one a poll.
        const auto globos = salidaAgente.count(QStringLiteral("Impresora Cocina: no responde"));
        EXPECT_TRUE(caso.deshelar ? globos <= 1 : globos == 1) << salidaAgente.toStdString();
        ejecutar(QStringLiteral("cancel"), {"-a", "Cocina"}); // a job CUPS got half way while frozen
        QStringList enFacturas;
        for (const QString& f : QDir(salida.path()).entryList({"Facturas-*.txt"}, QDir::Files))
            enFacturas << salida.filePath(f);
        const QStringList enCocina = pedidosDeCocina(esperarTrabajos(antes, 0).values("Cocina"));
        enFacturas = pedidosDeCocina(enFacturas);
        QStringList todos = (enCocina + enFacturas).replaceInStrings(QStringLiteral("E"), QString());
        todos.sort();
        EXPECT_EQ(todos, (QStringList{"1", "2", "3", "4"}))
            << "cada comanda una sola vez" << salidaAgente.toStdString();
        const QStringList enOrden = caso.deshelar ? enCocina : enFacturas.mid(0, 3);
        EXPECT_EQ(enOrden, (caso.deshelar ? QStringList{"1", "2", "3", "4"} : QStringList{"E2", "E3", "E4"}));
    }
}

} // namespace
