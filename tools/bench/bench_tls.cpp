// The link over TLS next to plain TCP, in one run and through the same service code, so the difference is
// TLS alone.
//   BM_RespuestaTls/0|1   time from the service writing a kitchen order to it reading the status reply, over
//                         1,000 messages on one connection (0 plain TCP, 1 TLS 1.3): counters p50_us, p99_us.
//                         Target: TLS p50 at most 0.2 ms above plain.
//   BM_SaludoTls/0|1      a new connection: from the service accepting it to the agent's identification,
//                         full TLS handshake each time (no session resumption), 20 times: p50_ms, peor_ms.
//   ./build/tools/bench/kestrel-bench --benchmark_filter='Tls'
// The certificates are made for the run with the openssl command.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "app/enlace.h"
#include "app/tls_enlace.h"
#include "salida_nula.h"
#include "servicio_bench.h"

namespace {

/// A test authority and a server certificate for 127.0.0.1, made once per run.
struct Certificados {
    QTemporaryDir carpeta;
    bool listos = false;
    Certificados() {
        const QString d = carpeta.path();
        QFile extension(d + QStringLiteral("/ext"));
        if (!extension.open(QIODevice::WriteOnly) || extension.write("subjectAltName=IP:127.0.0.1\n") <= 0)
            return;
        extension.close();
        const auto openssl = [&d](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(d);
            p.start(QStringLiteral("openssl"), args);
            return p.waitForFinished(60000) && p.exitCode() == 0;
        };
        listos = openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem",
                          "-days", "2", "-subj", "/CN=Autoridad de prueba"}) &&
                 openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "s.key", "-out", "s.csr", "-subj",
                          "/CN=servicio"}) &&
                 openssl({"x509", "-req", "-in", "s.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                          "-out", "s.pem", "-days", "2", "-extfile", "ext"});
    }
    QString ruta(const char* nombre) const { return carpeta.filePath(QString::fromLatin1(nombre)); }
};

/// The print service in a thread of its own with its own event loop, plain or TLS.
class Servicio : public QObject {
public:
    Servicio(const Certificados* tls, QByteArray mensaje, int mensajes, int conexiones)
        : m_mensaje(std::move(mensaje)), m_mensajes(mensajes), m_conexiones(conexiones) {
        if (tls) {
            auto* s = new QSslServer(this);
            QSslConfiguration c = QSslConfiguration::defaultConfiguration();
            QFile cert(tls->ruta("s.pem")), clave(tls->ruta("s.key"));
            cert.open(QIODevice::ReadOnly);
            clave.open(QIODevice::ReadOnly);
            c.setLocalCertificate(QSslCertificate(cert.readAll()));
            c.setPrivateKey(QSslKey(clave.readAll(), QSsl::Rsa));
            c.setPeerVerifyMode(QSslSocket::VerifyNone);
            s->setSslConfiguration(c);
            m_servidor = s;
        } else {
            m_servidor = new QTcpServer(this);
        }
        m_servidor->listen(QHostAddress::LocalHost);
        puerto = m_servidor->serverPort();
        connect(m_servidor, &QTcpServer::pendingConnectionAvailable, this, &Servicio::aceptar);
        m_aceptado.start();
    }

    quint16 puerto = 0;
    std::vector<double> latenciasUs;
    std::vector<double> saludosMs;
    std::atomic<bool> terminado{false};

private:
    void aceptar() {
        QTcpSocket* agente = m_servidor->nextPendingConnection();
        if (!agente)
            return;
        agente->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(agente, &QTcpSocket::readyRead, this, [this, agente] { leer(agente); });
    }
    // One object a read: the agent's texts hold no nested braces.
    void leer(QTcpSocket* agente) {
        m_pendiente += agente->readAll();
        while (m_pendiente.contains('}')) {
            m_pendiente.remove(0, m_pendiente.indexOf('}') + 1);
            if (m_conexiones > 0) { // measuring handshakes: identification arrived, close and wait for the next
                saludosMs.push_back(static_cast<double>(m_aceptado.nsecsElapsed()) / 1e6);
                if (--m_conexiones == 0) {
                    terminado = true;
                    return;
                }
                agente->disconnectFromHost();
                m_aceptado.start();
                return;
            }
            if (m_enviado.isValid())
                latenciasUs.push_back(static_cast<double>(m_enviado.nsecsElapsed()) / 1e3);
            if (static_cast<int>(latenciasUs.size()) == m_mensajes) {
                terminado = true;
                return;
            }
            m_enviado.start();
            agente->write(m_mensaje);
            agente->flush();
        }
    }

    QTcpServer* m_servidor; // a child, so it moves to the service's thread with it
    QByteArray m_mensaje;
    QByteArray m_pendiente;
    int m_mensajes;
    int m_conexiones;
    QElapsedTimer m_enviado;
    QElapsedTimer m_aceptado;
};

const Certificados& certificados() {
    static const Certificados c;
    return c;
}

/// Runs the agent's link on this thread against a service on another until the service is done.
std::unique_ptr<Servicio> medir(bool tls, int mensajes, int conexiones) {
    const QByteArray mensaje =
        QByteArrayLiteral(R"({"tipo":"cajon","config":[],"dato":[]})") + kestrel::marcadorFinMensaje.toUtf8();
    QThread hilo;
    auto servicio = std::make_unique<Servicio>(tls ? &certificados() : nullptr, mensaje, mensajes, conexiones);
    servicio->moveToThread(&hilo);
    hilo.start();
    SalidaNula salida;
    kestrel::ConfiguracionEnlace c;
    c.servidor = QStringLiteral("127.0.0.1");
    c.puerto = servicio->puerto;
    c.intervaloVigilancia = 1;
    if (tls) {
        kestrel::OpcionesTls o;
        o.activo = true;
        o.ca = certificados().ruta("ca.pem");
        QSslConfiguration configuracion;
        kestrel::prepararTls(o, configuracion);
        c.tls = configuracion;
    }
    kestrel::Enlace enlace(c, salida, [](const QString&) {});
    enlace.codigoSucursal = QStringLiteral("123456789012345");
    enlace.reconectar = true;
    enlace.iniciar();
    QElapsedTimer limite;
    limite.start();
    while (!servicio->terminado && limite.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    hilo.quit();
    hilo.wait();
    return servicio;
}

void BM_RespuestaTls(benchmark::State& state) {
    if (state.range(0) && !certificados().listos) {
        state.SkipWithError("openssl could not make the certificates");
        return;
    }
    for (auto _ : state) {
        const auto s = medir(state.range(0) != 0, 1000, 0);
        if (s->latenciasUs.size() < 1000) {
            state.SkipWithError("the agent did not answer every message");
            return;
        }
        state.counters["p50_us"] = medicion::percentil(s->latenciasUs, 0.5);
        state.counters["p99_us"] = medicion::percentil(s->latenciasUs, 0.99);
    }
}
BENCHMARK(BM_RespuestaTls)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SaludoTls(benchmark::State& state) {
    if (state.range(0) && !certificados().listos) {
        state.SkipWithError("openssl could not make the certificates");
        return;
    }
    for (auto _ : state) {
        const auto s = medir(state.range(0) != 0, 0, 20);
        if (s->saludosMs.size() < 20) {
            state.SkipWithError("the agent did not come back every time");
            return;
        }
        state.counters["p50_ms"] = medicion::percentil(s->saludosMs, 0.5);
        state.counters["peor_ms"] = *std::max_element(s->saludosMs.begin(), s->saludosMs.end());
    }
}
BENCHMARK(BM_SaludoTls)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
