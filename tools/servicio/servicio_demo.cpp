#include "servicio_demo.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpSocket>

#include "app/enmarcador.h"

namespace kestrel {

namespace {
const QByteArray marcador = marcadorFinMensaje.toUtf8();
}

ServicioDemo::ServicioDemo(QList<QByteArray> mensajes, QTextStream& salida, std::optional<QSslConfiguration> tls,
                           QObject* parent)
    : QObject(parent), m_mensajes(std::move(mensajes)), m_salida(salida) {
    if (tls) {
        auto servidor = std::make_unique<QSslServer>();
        servidor->setSslConfiguration(*tls);
        // An agent refused at the handshake never becomes a connection: say why, so a technician can tell.
        connect(servidor.get(), &QSslServer::errorOccurred, this, [this](QSslSocket* s, QAbstractSocket::SocketError) {
            escribirLinea(QStringLiteral("rechazo-tls"), s->errorString());
        });
        m_servidor = std::move(servidor);
    } else {
        m_servidor = std::make_unique<QTcpServer>();
    }
    // Over TLS a connection is handed over only once its handshake is done.
    connect(m_servidor.get(), &QTcpServer::pendingConnectionAvailable, this, &ServicioDemo::aceptar);
}

ServicioDemo::~ServicioDemo() {
    // The agents' sockets are children of the server and outlive this object's other members: silence them.
    for (auto it = m_lectores.keyBegin(); it != m_lectores.keyEnd(); ++it)
        disconnect(*it, nullptr, this, nullptr);
}

bool ServicioDemo::escuchar(quint16 puerto) {
    if (!m_servidor->listen(QHostAddress::Any, puerto))
        return false;
    escribirLinea(QStringLiteral("escuchando"), QStringLiteral("puerto %1").arg(m_servidor->serverPort()));
    return true;
}

void ServicioDemo::escribirLinea(const QString& tipo, const QString& detalle) {
    m_salida << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) << ' ' << tipo << ' '
             << detalle << '\n';
    m_salida.flush();
}

void ServicioDemo::aceptar() {
    while (QTcpSocket* agente = m_servidor->nextPendingConnection()) {
        agente->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_lectores.insert(agente, LectorRespuestas());
        QHostAddress direccion = agente->peerAddress();
        bool esIpv4 = false;
        if (const quint32 ipv4 = direccion.toIPv4Address(&esIpv4); esIpv4)
            direccion = QHostAddress(ipv4);
        const QString origen = direccion.toString() + QLatin1Char(':') + QString::number(agente->peerPort());
        escribirLinea(QStringLiteral("conexion"), origen);
        connect(agente, &QTcpSocket::readyRead, this, [this, agente] { leer(agente); });
        connect(agente, &QTcpSocket::disconnected, this, [this, agente, origen] {
            escribirLinea(QStringLiteral("desconexion"), origen);
            m_lectores.remove(agente);
            agente->deleteLater();
        });
    }
}

void ServicioDemo::enviarATodos(const QByteArray& mensaje) {
    for (auto it = m_lectores.keyBegin(); it != m_lectores.keyEnd(); ++it) {
        (*it)->write(mensaje);
        (*it)->write(marcador);
    }
    escribirLinea(QStringLiteral("enviados"), QStringLiteral("1 mensaje a %1 agentes").arg(m_lectores.size()));
}

void ServicioDemo::leer(QTcpSocket* agente) {
    auto lector = m_lectores.find(agente);
    if (lector == m_lectores.end())
        return;
    const QList<QByteArray> textos = lector->agregar(agente->readAll());
    for (const QByteArray& texto : textos)
        atender(agente, texto);
}

void ServicioDemo::atender(QTcpSocket* agente, const QByteArray& texto) {
    const QJsonObject objeto = QJsonDocument::fromJson(texto).object();
    const QString legible = QString::fromUtf8(texto);
    if (objeto.value(QLatin1String("type")).toString() == QLatin1String("id")) {
        escribirLinea(QStringLiteral("identificacion"), legible);
        for (const QByteArray& mensaje : std::as_const(m_mensajes)) {
            agente->write(mensaje);
            agente->write(marcador);
        }
        if (!m_mensajes.isEmpty())
            escribirLinea(QStringLiteral("enviados"), QStringLiteral("%1 mensajes").arg(m_mensajes.size()));
        return;
    }
    if (objeto.contains(QLatin1String("status"))) {
        escribirLinea(QStringLiteral("estado"), legible);
        ++m_respuestas;
        if (m_salirTras > 0 && m_respuestas >= m_salirTras)
            emit terminado();
        return;
    }
    escribirLinea(QStringLiteral("desconocido"), legible);
}

} // namespace kestrel
