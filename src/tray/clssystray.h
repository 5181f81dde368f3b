#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include "tray/area_notificacion.h"

class QWidget;

namespace kestrel {

class CajaImagen;

/// The agent's icon in the notification area: image, tooltip and balloons, and the six events the shell's
/// notifications are turned into. The window hands the value it receives for a notification to MouseMove,
/// which raises the event.
class clsSystray : public QObject {
    Q_OBJECT
public:
    /// The window measures mouse positions in twips: a notification code arrives multiplied by this.
    static constexpr int twipsPorPixel = 15;
    /// Values of MouseMove's x that raise an event.
    static constexpr int xLeftClick = 514;
    static constexpr int xRightClick = 517;
    static constexpr int xDoubleClick = 515;
    static constexpr int xBalloonHide = 1027;
    static constexpr int xBalloonTimeOut = 1028;
    static constexpr int xBalloonClicked = 7695;

    explicit clsSystray(AreaNotificacion& area, QObject* parent = nullptr);
    /// Removes the icon, as delIcon does.
    ~clsSystray() override;

    /// Builds the icon from the picture drawn in ppic and shows it. With plngTransparentColor 0 or more (an RGB
    /// value) the pixels of that colour in the top-left 32 x 32 become transparent; otherwise the whole
    /// picture is used as it is. A picture box holding nothing changes nothing.
    void DrawIcon(CajaImagen* ppic, qint64 plngTransparentColor = -1);
    /// Adds the icon with pfrm's own icon and the tooltip. Always false, as the agent never uses it.
    bool Init(QWidget* pfrm, const QString& pstrTooltip);
    /// Raises the event for x (a shell code in twips, see the x... values); other values raise nothing.
    void MouseMove(int Button, int x, QWidget* pfrm);
    /// Shows image with the tooltip tip; TooltipText keeps its last value.
    void SetIcon(const QIcon& image, const QString& tip);
    /// penIcon: 0 none, 1 information, 2 warning, 3 error.
    void ShowBalloonTip(const QString& pstrMessage, int penIcon, const QString& pstrTitle, int plngTimeout);
    QString TooltipText() const { return m_tooltip; }
    void setTooltipText(const QString& pstrTooltip);
    void delIcon();

    /// The record as it stands after the last call.
    const RegistroIcono& registro() const { return m_registro; }

signals:
    void LeftClick();
    void RightClick();
    void DoubleClick();
    void BalloonHide();
    void BalloonTimeOut();
    void BalloonClicked();
    /// A notification about the icon as the window's mouse-move receives it: X = code x twipsPorPixel.
    void notificacionVentana(int Button, double X);

private:
    void reenviar(int codigo);

    AreaNotificacion& m_area;
    RegistroIcono m_registro;
    QString m_tooltip;
};

/// text cut to fit a field of tamano characters that ends with a NUL; a surrogate pair is never split.
QString cortarCampo(const QString& texto, qsizetype tamano);

} // namespace kestrel
