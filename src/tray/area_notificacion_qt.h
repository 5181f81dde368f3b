#pragma once

#include <QSystemTrayIcon>

#include "tray/area_notificacion.h"
#include "plataforma/notificaciones_escritorio.h"

namespace kestrel {

/// The notification area of the desktop through QSystemTrayIcon. Balloons go to the desktop's notification
/// service when the session has one, each replacing the last, and to the icon otherwise; every balloon is also
/// logged under kestrel.globos, so that no notice is lost on a desktop that shows none.
class AreaNotificacionQt : public AreaNotificacion {
    Q_OBJECT
public:
    explicit AreaNotificacionQt(QObject* parent = nullptr);

    bool disponible() const override;
    bool notificar(ComandoIcono comando, const RegistroIcono& registro) override;
    void fijarMenu(QMenu* menu) override;

private:
    void aplicar(const RegistroIcono& registro);
    void mostrarEnIcono(const QString& titulo, const QString& texto, int icono, int tiempoMs);
    void alActivar(QSystemTrayIcon::ActivationReason razon);

    QSystemTrayIcon m_icono;
    NotificacionesEscritorio m_escritorio;
    bool m_presente = false;
};

} // namespace kestrel
