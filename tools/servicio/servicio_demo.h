#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTextStream>

#include <memory>
#include <optional>

#include "lector_respuestas.h"

class QTcpSocket;

namespace kestrel {

/// A small central print service: accepts agents, prints every identification and status reply it gets
/// with a time stamp, and sends its messages (each followed by the end marker) to every agent that
/// identifies itself.
class ServicioDemo : public QObject {
    Q_OBJECT
public:
    /// With tls the service speaks TLS only (as a terminator in front of a real service would).
    ServicioDemo(QList<QByteArray> mensajes, QTextStream& salida, std::optional<QSslConfiguration> tls = {},
                 QObject* parent = nullptr);
    ~ServicioDemo() override;

    bool escuchar(quint16 puerto);
    QString error() const { return m_servidor->errorString(); }
    quint16 puerto() const { return m_servidor->serverPort(); }
    /// Ends the run after this many status replies (0: never).
    void salirTrasRespuestas(int n) { m_salirTras = n; }
    int respuestas() const { return m_respuestas; }
    /// Sends one more message, with its end marker, to every agent connected now.
    void enviarATodos(const QByteArray& mensaje);

signals:
    /// The number of status replies asked for has been reached.
    void terminado();

private:
    void aceptar();
    void leer(QTcpSocket* agente);
    void atender(QTcpSocket* agente, const QByteArray& texto);
    void escribirLinea(const QString& tipo, const QString& detalle);

    std::unique_ptr<QTcpServer> m_servidor;
    QList<QByteArray> m_mensajes;
    QTextStream& m_salida;
    QHash<QTcpSocket*, LectorRespuestas> m_lectores;
    int m_salirTras = 0;
    int m_respuestas = 0;
};

} // namespace kestrel
