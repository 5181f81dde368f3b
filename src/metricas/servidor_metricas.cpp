#include "metricas/servidor_metricas.h"

#include <QLoggingCategory>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

#include "metricas/metricas.h"

namespace kestrel {

Q_LOGGING_CATEGORY(registroMetricas, "kestrel.metricas", QtInfoMsg)

RespuestaMetricas responderMetricas(const QByteArray& cabecera, const Metricas& metricas) {
    const QByteArray linea = cabecera.left(cabecera.indexOf("\r\n"));
    const QList<QByteArray> partes = linea.split(' ');
    const QByteArray ruta = partes.value(1).split('?').value(0);
    if (partes.size() != 3 || partes[0] != "GET" || ruta != "/metrics" || !partes[2].startsWith("HTTP/1."))
        return {404, QByteArrayLiteral("no encontrado\n")};
    return {200, metricas.exposicion()};
}

/// One scraper's connection: reads the head within the limits, answers once and closes.
class ConexionMetricas : public QObject {
public:
    ConexionMetricas(QTcpSocket* socket, const Metricas& metricas, const LimitesMetricas& limites, QObject* padre)
        : QObject(padre), m_socket(socket), m_metricas(metricas), m_limites(limites) {
        m_socket->setParent(this);
        m_plazo.setSingleShot(true);
        connect(&m_plazo, &QTimer::timeout, this, [this] { cerrar(); });
        m_plazo.start(m_limites.plazo);
        connect(m_socket, &QTcpSocket::readyRead, this, &ConexionMetricas::leer);
        connect(m_socket, &QTcpSocket::disconnected, this, [this] { cerrar(); });
        if (auto* ssl = qobject_cast<QSslSocket*>(m_socket))
            connect(ssl, &QSslSocket::sslErrors, this, [this] { cerrar(); });
    }

private:
    void leer() {
        // After a refusal the rest of an oversized request is read and dropped until the client closes or the
        // time is up: closing with it unread would reset the connection before the refusal could be read.
        if (m_respondida) {
            m_socket->skip(m_socket->bytesAvailable());
            return;
        }
        m_cabecera += m_socket->read(m_limites.cabecera + 1 - m_cabecera.size());
        const qsizetype fin = m_cabecera.indexOf("\r\n\r\n");
        if (fin < 0 && m_cabecera.size() <= m_limites.cabecera)
            return;
        if (fin < 0) {
            m_completa = false;
            responder({431, QByteArrayLiteral("cabecera demasiado larga\n")});
            return;
        }
        responder(responderMetricas(m_cabecera.left(fin + 2), m_metricas));
    }

    void responder(const RespuestaMetricas& r) {
        m_respondida = true;
        const char* texto = r.codigo == 200 ? "OK" : r.codigo == 431 ? "Request Header Fields Too Large" : "Not Found";
        const char* tipo = r.codigo == 200 ? "text/plain; version=0.0.4; charset=utf-8" : "text/plain; charset=utf-8";
        QByteArray respuesta = "HTTP/1.1 " + QByteArray::number(r.codigo) + ' ' + texto + "\r\nContent-Type: " + tipo +
                               "\r\nContent-Length: " + QByteArray::number(r.cuerpo.size()) +
                               "\r\nConnection: close\r\n\r\n" + r.cuerpo;
        m_socket->write(respuesta);
        // Closes once everything written is out (over TLS, encrypted and followed by its close notice); the
        // time limit still ends a client that stops reading.
        if (m_completa)
            m_socket->disconnectFromHost();
    }

    void cerrar() {
        if (m_cerrada)
            return;
        m_cerrada = true;
        m_plazo.stop();
        m_socket->disconnect(this);
        m_socket->abort();
        deleteLater();
    }

    QTcpSocket* m_socket;
    const Metricas& m_metricas;
    const LimitesMetricas& m_limites;
    QTimer m_plazo;
    QByteArray m_cabecera;
    bool m_respondida = false;
    /// The whole request was read: nothing is left unread when the answer is out.
    bool m_completa = true;
    bool m_cerrada = false;
};

/// The listening socket, on the server's thread.
class ServidorHttpMetricas : public QTcpServer {
public:
    ServidorHttpMetricas(const Metricas& metricas, LimitesMetricas limites)
        : m_metricas(metricas), m_limites(limites) {}

    void fijarTls(std::optional<QSslConfiguration> tls) { m_tls = std::move(tls); }

protected:
    void incomingConnection(qintptr descriptor) override {
        QTcpSocket* socket = m_tls ? new QSslSocket : new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const auto activas = findChildren<ConexionMetricas*>(Qt::FindDirectChildrenOnly).size();
        if (activas >= m_limites.conexiones) {
            // Refused at once: a flood ties up no buffer and no timer.
            socket->abort();
            delete socket;
            if (!m_avisado) {
                m_avisado = true;
                qCWarning(registroMetricas)
                    << "Demasiadas conexiones a las métricas a la vez; se cierran las que sobran";
            }
            return;
        }
        m_avisado = false;
        new ConexionMetricas(socket, m_metricas, m_limites, this);
        if (auto* ssl = qobject_cast<QSslSocket*>(socket)) {
            ssl->setSslConfiguration(*m_tls);
            ssl->startServerEncryption();
        }
    }

private:
    const Metricas& m_metricas;
    const LimitesMetricas m_limites;
    std::optional<QSslConfiguration> m_tls;
    bool m_avisado = false;
};

ServidorMetricas::ServidorMetricas(const Metricas& metricas, LimitesMetricas limites)
    : m_servidor(new ServidorHttpMetricas(metricas, limites)) {
    m_hilo.setObjectName(QStringLiteral("kestrel-metricas"));
    m_servidor->moveToThread(&m_hilo);
    m_hilo.start();
}

ServidorMetricas::~ServidorMetricas() {
    QMetaObject::invokeMethod(
        m_servidor, [servidor = m_servidor] { delete servidor; }, Qt::BlockingQueuedConnection);
    m_hilo.quit();
    m_hilo.wait();
}

bool ServidorMetricas::escuchar(const QHostAddress& direccion, quint16 puerto,
                                const std::optional<QSslConfiguration>& tls, QString* error) {
    bool ok = false;
    QString problema;
    QMetaObject::invokeMethod(
        m_servidor,
        [&] {
            m_servidor->fijarTls(tls);
            ok = m_servidor->listen(direccion, puerto);
            problema = m_servidor->errorString();
            m_puerto = m_servidor->serverPort();
        },
        Qt::BlockingQueuedConnection);
    if (!ok && error)
        *error = problema;
    return ok;
}

} // namespace kestrel
