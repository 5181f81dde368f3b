#pragma once

#include <QHostAddress>
#include <QSslConfiguration>
#include <QString>
#include <QThread>

#include <chrono>
#include <memory>
#include <optional>

namespace kestrel {

class Metricas;
class ServidorHttpMetricas;

/// How much a scraper may ask of the agent. Prometheus sends a request head of a few hundred bytes and reads
/// the answer at once; anything far from that is a client to drop, not to serve.
struct LimitesMetricas {
    /// The request line and headers, together.
    qsizetype cabecera = 8192;
    /// From the connection to the end of the answer, TLS handshake included.
    std::chrono::milliseconds plazo{5000};
    /// Connections served at the same time; further ones are closed as they arrive.
    int conexiones = 32;
};

/// The metrics endpoint: GET /metrics answers the Prometheus text format, anything else 404. It runs on a
/// thread of its own, so a scrape, a slow client or a flood of connections never reaches the window's thread.
class ServidorMetricas {
public:
    ServidorMetricas(const Metricas& metricas, LimitesMetricas limites = {});
    ~ServidorMetricas();
    ServidorMetricas(const ServidorMetricas&) = delete;
    ServidorMetricas& operator=(const ServidorMetricas&) = delete;

    /// Starts listening, over TLS when tls is given; false with the reason in error when the address cannot be
    /// used.
    bool escuchar(const QHostAddress& direccion, quint16 puerto, const std::optional<QSslConfiguration>& tls,
                  QString* error);
    /// The port listened on (the one the system chose for port 0).
    quint16 puerto() const { return m_puerto; }

private:
    QThread m_hilo;
    ServidorHttpMetricas* m_servidor;
    quint16 m_puerto = 0;
};

/// The answer to one request head ("GET /metrics HTTP/1.1\r\n..."): the status line and body to send.
struct RespuestaMetricas {
    int codigo = 404;
    QByteArray cuerpo;
};
RespuestaMetricas responderMetricas(const QByteArray& cabecera, const Metricas& metricas);

} // namespace kestrel
