#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QWidget;

namespace kestrel {

/// The notification-icon record the icon object keeps for its whole life and hands, whole, to every call
/// of the notification area; uFlags names the fields a call applies. Texts keep the record's field sizes:
/// a text that does not fit is cut (tip 127 characters, balloon 255, balloon title 63).
struct RegistroIcono {
    static constexpr quint32 tamanoRegistro = 488;
    static constexpr qsizetype largoTip = 128;
    static constexpr qsizetype largoInfo = 256;
    static constexpr qsizetype largoTituloInfo = 64;

    quint32 cbSize = 0;
    QWidget* hWnd = nullptr;
    quint32 uID = 0;
    quint32 uFlags = 0;
    quint32 uCallbackMessage = 0;
    QIcon hIcon;
    QString szTip;
    QString szInfo;
    quint32 uTimeout = 0;
    QString szInfoTitle;
    quint32 dwInfoFlags = 0;
};

/// uFlags bits.
namespace banderaicono {
inline constexpr quint32 mensaje = 1;
inline constexpr quint32 icono = 2;
inline constexpr quint32 tip = 4;
inline constexpr quint32 globo = 16;
} // namespace banderaicono

/// The shell's notification codes, as reported through notificacion().
namespace codigoshell {
inline constexpr int mouseMove = 512;
inline constexpr int botonIzquierdoAbajo = 513;
inline constexpr int botonIzquierdoArriba = 514;
inline constexpr int dobleClicIzquierdo = 515;
inline constexpr int botonDerechoAbajo = 516;
inline constexpr int botonDerechoArriba = 517;
inline constexpr int botonCentralAbajo = 519;
inline constexpr int botonCentralArriba = 520;
inline constexpr int globoOculto = 1027;
inline constexpr int globoExpirado = 1028;
inline constexpr int globoPulsado = 1029;
} // namespace codigoshell

enum class ComandoIcono {
    Agregar = 0,
    Modificar = 1,
    Borrar = 2,
};

/// The notification area: one icon per record, changed by the fields that uFlags names. The real one sits
/// on QSystemTrayIcon; tests use a recording one.
class AreaNotificacion : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~AreaNotificacion() override = default;

    /// True when a notification area exists on this desktop.
    virtual bool disponible() const = 0;
    /// Applies a command; false when it cannot (adding twice, modifying or deleting an icon not shown).
    virtual bool notificar(ComandoIcono comando, const RegistroIcono& registro) = 0;
    /// The menu shown on the icon (several desktops show an icon only when it has one).
    virtual void fijarMenu(QMenu* menu) = 0;

signals:
    /// Activity on the icon as the shell's notification code (513 left button down, 1029 balloon clicked...).
    void notificacion(int codigo);
};

} // namespace kestrel
