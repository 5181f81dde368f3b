#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

#include "lector_respuestas.h"
#include "tablas.h"

namespace kestrel::prueba {

/// A print service for link tests: one agent at a time on loopback, raw writes, and every text the agent
/// sends kept in order.
class ServicioPrueba : public QObject {
    Q_OBJECT
public:
    explicit ServicioPrueba(QObject* parent = nullptr);

    /// Listens on 127.0.0.1 (port 0: any free port).
    bool escuchar(quint16 puerto = 0);
    quint16 puerto() const { return m_puerto; }
    /// Stops listening and drops the agent.
    void detener();
    /// Writes bytes as they are to the agent and pushes them out at once.
    void enviar(const QByteArray& datos);
    void cerrarCliente();

    /// JSON texts received, in order.
    QList<QByteArray> textos;
    /// Everything received, as received.
    QByteArray crudo;
    int conexiones = 0;

    QList<QByteArray> identificaciones() const { return con("\"type\":\"id\""); }
    QList<QByteArray> estados() const { return con("\"status\""); }

private:
    QList<QByteArray> con(const char* clave) const;
    void aceptar();

    QTcpServer m_servidor;
    QPointer<QTcpSocket> m_cliente;
    LectorRespuestas m_lector;
    quint16 m_puerto = 0;
};

} // namespace kestrel::prueba
