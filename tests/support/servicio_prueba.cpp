#include "servicio_prueba.h"

namespace kestrel::prueba {

ServicioPrueba::ServicioPrueba(QObject* parent) : QObject(parent) {
    connect(&m_servidor, &QTcpServer::newConnection, this, &ServicioPrueba::aceptar);
}

bool ServicioPrueba::escuchar(quint16 puerto) {
    if (!m_servidor.listen(QHostAddress::LocalHost, puerto))
        return false;
    m_puerto = m_servidor.serverPort();
    return true;
}

void ServicioPrueba::detener() {
    m_servidor.close();
    cerrarCliente();
}

void ServicioPrueba::aceptar() {
    while (QTcpSocket* cliente = m_servidor.nextPendingConnection()) {
        if (m_cliente)
            m_cliente->abort();
        m_cliente = cliente;
        m_lector = LectorRespuestas();
        cliente->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        ++conexiones;
        connect(cliente, &QTcpSocket::readyRead, this, [this, cliente] {
            const QByteArray datos = cliente->readAll();
            crudo += datos;
            textos += m_lector.agregar(datos);
        });
    }
}

void ServicioPrueba::enviar(const QByteArray& datos) {
    if (!m_cliente)
        return;
    m_cliente->write(datos);
    m_cliente->flush();
}

void ServicioPrueba::cerrarCliente() {
    if (m_cliente) {
        m_cliente->disconnectFromHost();
        m_cliente->deleteLater();
    }
    m_cliente = nullptr;
}

QList<QByteArray> ServicioPrueba::con(const char* clave) const {
    QList<QByteArray> r;
    for (const QByteArray& t : textos)
        if (t.contains(clave))
            r << t;
    return r;
}

} // namespace kestrel::prueba
