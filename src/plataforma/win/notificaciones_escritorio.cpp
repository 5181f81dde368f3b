#include "plataforma/notificaciones_escritorio.h"

namespace kestrel {

// Windows has no desktop notification service to replace a balloon in: the notification area's own balloons,
// shown by the icon, are the platform's notifications.
struct NotificacionesEscritorio::Bus {};

NotificacionesEscritorio::NotificacionesEscritorio(QObject* parent) : QObject(parent) {}

NotificacionesEscritorio::~NotificacionesEscritorio() = default;

bool NotificacionesEscritorio::conectado() const {
    return false;
}

void NotificacionesEscritorio::mostrar(const QString& titulo, const QString& texto, int icono, int tiempoMs) {
    emit rechazado(titulo, texto, icono, tiempoMs);
}

void NotificacionesEscritorio::alAccion(uint, const QString&) {}

void NotificacionesEscritorio::alCerrar(uint, uint) {}

} // namespace kestrel
