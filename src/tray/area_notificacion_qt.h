#pragma once

#include <QSystemTrayIcon>

#include <cstdio>

#include "tray/area_notificacion.h"

namespace kestrel {

/// The notification area of the desktop through QSystemTrayIcon. When the desktop has none, every balloon
/// is also written to standard error with a time stamp, so that no notice is lost.
class AreaNotificacionQt : public AreaNotificacion {
    Q_OBJECT
public:
    explicit AreaNotificacionQt(QObject* parent = nullptr, std::FILE* salidaGlobos = stderr);

    bool disponible() const override;
    bool notificar(ComandoIcono comando, const RegistroIcono& registro) override;
    void fijarMenu(QMenu* menu) override;

private:
    void aplicar(const RegistroIcono& registro);
    void alActivar(QSystemTrayIcon::ActivationReason razon);

    QSystemTrayIcon m_icono;
    bool m_presente = false;
    std::FILE* m_salidaGlobos;
};

} // namespace kestrel
