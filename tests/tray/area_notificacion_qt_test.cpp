#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSystemTrayIcon>

#include "tray/area_notificacion_qt.h"

namespace kestrel {
namespace {

// Offscreen there is no notification area, yet the icon's commands keep their rules.
TEST(AreaNotificacionQt, SinAreaLosComandosSiguenSusReglas) {
    {
        AreaNotificacionQt area;
        EXPECT_FALSE(area.disponible());
        RegistroIcono r;
        r.uFlags = banderaicono::mensaje | banderaicono::icono;
        EXPECT_FALSE(area.notificar(ComandoIcono::Modificar, r)) << "no icon yet";
        EXPECT_TRUE(area.notificar(ComandoIcono::Agregar, r));
        EXPECT_FALSE(area.notificar(ComandoIcono::Agregar, r)) << "added twice";
        r.uFlags = banderaicono::globo;
        r.szInfo = QStringLiteral("Conectando al servidor de impresion ");
        r.szInfoTitle = QStringLiteral("Sistema de impresora");
        r.dwInfoFlags = 1;
        r.uTimeout = 30000;
        EXPECT_TRUE(area.notificar(ComandoIcono::Modificar, r));
        EXPECT_TRUE(area.notificar(ComandoIcono::Borrar, r));
        EXPECT_FALSE(area.notificar(ComandoIcono::Borrar, r));
    }
}

// A click is one activation in Qt; the window hears the shell's press and release.
TEST(AreaNotificacionQt, LasActivacionesSeTraducenACodigosDelShell) {
    AreaNotificacionQt area;
    auto* icono = area.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icono, nullptr);
    QSignalSpy codigos(&area, &AreaNotificacion::notificacion);
    emit icono->activated(QSystemTrayIcon::Trigger);
    emit icono->activated(QSystemTrayIcon::DoubleClick);
    emit icono->activated(QSystemTrayIcon::Context);
    emit icono->activated(QSystemTrayIcon::MiddleClick);
    emit icono->messageClicked();
    QList<int> recibidos;
    for (const QList<QVariant>& c : codigos)
        recibidos << c.at(0).toInt();
    EXPECT_EQ(recibidos, (QList<int>{513, 514, 515, 516, 517, 519, 520, 1029}));
}

} // namespace
} // namespace kestrel
