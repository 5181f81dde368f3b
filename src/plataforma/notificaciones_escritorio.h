#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QDBusPendingCallWatcher;

namespace kestrel {

/// Balloons through the desktop's notification service (org.freedesktop.Notifications on the session bus).
/// Windows has no such service: there the balloons are the notification area's own and conectado() is false.
/// Each balloon replaces the one before, as a balloon on a tray icon does: with the print service down for an
/// hour the desktop's history holds one entry, not one a second. The tray icon's own balloons cannot do this,
/// since they go out as new notifications every time.
class NotificacionesEscritorio : public QObject {
    Q_OBJECT
public:
    explicit NotificacionesEscritorio(QObject* parent = nullptr);
    ~NotificacionesEscritorio() override;

    /// False without a session bus; the caller shows its balloons some other way.
    bool conectado() const;
    /// icono: 0 none, 1 information, 2 warning, 3 error; tiempoMs as the service's expire timeout.
    void mostrar(const QString& titulo, const QString& texto, int icono, int tiempoMs);

signals:
    void pulsado();
    /// porTiempo: it expired or the user dismissed it, rather than being closed by the service.
    void cerrado(bool porTiempo);
    /// No service took the balloon (none running, or it failed).
    void rechazado(const QString& titulo, const QString& texto, int icono, int tiempoMs);

private:
    struct Globo {
        QString titulo;
        QString texto;
        int icono = 0;
        int tiempoMs = 0;
    };
    void enviar(const Globo& globo);
    void alResponder(QDBusPendingCallWatcher* llamada);

private slots:
    // Slots by name: a bus signal can only be connected that way.
    void alAccion(uint id, const QString& accion);
    void alCerrar(uint id, uint razon);

private:
    struct Bus;
    std::unique_ptr<Bus> m_bus;
    /// The service's number for the last balloon; a new one is sent as its replacement.
    uint m_id = 0;
    bool m_abierto = false;
    /// The balloon on its way: until the service answers with its number, a newer one waits in m_siguiente
    /// (only the newest), or it would go out as a new entry.
    std::optional<Globo> m_enCamino;
    std::optional<Globo> m_siguiente;
};

} // namespace kestrel
