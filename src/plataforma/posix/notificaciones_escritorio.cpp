#include "plataforma/notificaciones_escritorio.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace kestrel {

namespace {
const QString servicio = QStringLiteral("org.freedesktop.Notifications");
const QString ruta = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaz = QStringLiteral("org.freedesktop.Notifications");
// The name the installed icon and desktop entry carry.
const QString nombreAplicacion = QStringLiteral("kestrel-agente");

// NotificationClosed reasons.
constexpr uint cerradoPorTiempo = 1;
constexpr uint cerradoPorUsuario = 2;

QString imagenDeIcono(int icono) {
    switch (icono) {
    case 1:
        return QStringLiteral("dialog-information");
    case 2:
        return QStringLiteral("dialog-warning");
    case 3:
        return QStringLiteral("dialog-error");
    default:
        return {};
    }
}
} // namespace

struct NotificacionesEscritorio::Bus {
    QDBusConnection conexion = QDBusConnection::sessionBus();
};

NotificacionesEscritorio::NotificacionesEscritorio(QObject* parent) : QObject(parent), m_bus(std::make_unique<Bus>()) {
    QDBusConnection& bus = m_bus->conexion;
    if (!bus.isConnected())
        return;
    bus.connect(servicio, ruta, interfaz, QStringLiteral("ActionInvoked"), this, SLOT(alAccion(uint, QString)));
    bus.connect(servicio, ruta, interfaz, QStringLiteral("NotificationClosed"), this, SLOT(alCerrar(uint, uint)));
}

NotificacionesEscritorio::~NotificacionesEscritorio() = default;

bool NotificacionesEscritorio::conectado() const {
    return m_bus->conexion.isConnected();
}

void NotificacionesEscritorio::mostrar(const QString& titulo, const QString& texto, int icono, int tiempoMs) {
    const Globo globo{titulo, texto, icono, tiempoMs};
    if (m_enCamino)
        m_siguiente = globo;
    else
        enviar(globo);
}

void NotificacionesEscritorio::enviar(const Globo& globo) {
    QVariantMap pistas{{QStringLiteral("desktop-entry"), nombreAplicacion}};
    const QString imagen = imagenDeIcono(globo.icono);
    if (!imagen.isEmpty())
        pistas.insert(QStringLiteral("image-path"), imagen);
    QDBusMessage llamada = QDBusMessage::createMethodCall(servicio, ruta, interfaz, QStringLiteral("Notify"));
    // "default" is the action of a click on the balloon itself; most services show no button for it.
    llamada << nombreAplicacion << m_id << nombreAplicacion << globo.titulo << globo.texto
            << QStringList{QStringLiteral("default"), QStringLiteral("Mostrar ventana")} << pistas << globo.tiempoMs;
    m_enCamino = globo;
    auto* espera = new QDBusPendingCallWatcher(m_bus->conexion.asyncCall(llamada), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, &NotificacionesEscritorio::alResponder);
}

void NotificacionesEscritorio::alResponder(QDBusPendingCallWatcher* llamada) {
    llamada->deleteLater();
    const QDBusPendingReply<uint> respuesta = *llamada;
    const Globo enviado = *m_enCamino;
    m_enCamino.reset();
    if (respuesta.isError()) {
        emit rechazado(enviado.titulo, enviado.texto, enviado.icono, enviado.tiempoMs);
    } else {
        m_id = respuesta.value();
        m_abierto = true;
    }
    if (m_siguiente) {
        const Globo siguiente = *m_siguiente;
        m_siguiente.reset();
        enviar(siguiente);
    }
}

void NotificacionesEscritorio::alAccion(uint id, const QString& accion) {
    if (id != m_id || accion != QLatin1String("default"))
        return;
    // Services that close the balloon after a click also report the closing: the click is the only event.
    m_abierto = false;
    emit pulsado();
}

void NotificacionesEscritorio::alCerrar(uint id, uint razon) {
    if (id != m_id || !m_abierto)
        return;
    m_abierto = false;
    emit cerrado(razon == cerradoPorTiempo || razon == cerradoPorUsuario);
}

} // namespace kestrel
