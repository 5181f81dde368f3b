#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include "area_notificacion_prueba.h"
#include "tablas.h"
#include "tray/caja_imagen.h"
#include "tray/clssystray.h"

namespace kestrel {
namespace {

using prueba::AreaNotificacionPrueba;

// The shell's codes in and out of the icon: tests/data/tablas/clssystray.json.
TEST(ClsSystray, Tablas) {
    AreaNotificacionPrueba area;
    clsSystray icono(area);
    QStringList eventos;
    const std::pair<void (clsSystray::*)(), const char*> senales[] = {
        {&clsSystray::LeftClick, "LeftClick"},           {&clsSystray::RightClick, "RightClick"},
        {&clsSystray::DoubleClick, "DoubleClick"},       {&clsSystray::BalloonHide, "BalloonHide"},
        {&clsSystray::BalloonTimeOut, "BalloonTimeOut"}, {&clsSystray::BalloonClicked, "BalloonClicked"}};
    for (const auto& [senal, nombre] : senales)
        QObject::connect(&icono, senal, &icono, [&eventos, n = nombre] { eventos << QString::fromLatin1(n); });
    QObject::connect(&icono, &clsSystray::notificacionVentana, &icono,
                     [&eventos](int boton, double x) { eventos << QStringLiteral("%1 %2").arg(boton).arg(x); });
    icono.Init(nullptr, QStringLiteral("tip"));
    prueba::comprobarTablas(QStringLiteral("clssystray"), {{QStringLiteral("mouseMove"),
                                                            [&](const QJsonArray& a) {
                                                                eventos.clear();
                                                                icono.MouseMove(1, a[0].toInt(), nullptr);
                                                                return eventos.join(u' ');
                                                            }},
                                                           {QStringLiteral("notificacion"),
                                                            [&](const QJsonArray& a) {
                                                                eventos.clear();
                                                                area.simular(a[0].toInt());
                                                                return eventos.join(u' ');
                                                            }},
                                                           {QStringLiteral("cortes"), [](const QJsonArray& a) {
                                                                AreaNotificacionPrueba otra;
                                                                clsSystray cortado(otra);
                                                                const auto largo = a[0].toInt();
                                                                cortado.Init(nullptr, QString(largo, QLatin1Char('t')));
                                                                const QString texto(largo, QLatin1Char('x'));
                                                                cortado.ShowBalloonTip(texto, 1, texto, 30000);
                                                                return QStringLiteral("%1 %2 %3 %4")
                                                                    .arg(otra.tipActual().size())
                                                                    .arg(otra.globos().last().szInfo.size())
                                                                    .arg(otra.globos().last().szInfoTitle.size())
                                                                    .arg(cortado.TooltipText().size());
                                                            }}});
    // A character outside the basic plane is never cut in half.
    const QString emoji = QString(62, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x96\xA8");
    EXPECT_EQ(cortarCampo(emoji, 64), QString(62, QLatin1Char('a')));
}

TEST(ClsSystray, SetIconNoCambiaTooltipText) {
    AreaNotificacionPrueba area;
    QWidget ventana;
    clsSystray icono(area);
    EXPECT_FALSE(icono.Init(&ventana, QStringLiteral("Sincronizador Kestrel")));
    QPixmap imagen(16, 16);
    imagen.fill(Qt::red);
    icono.SetIcon(QIcon(imagen), QStringLiteral("Conectando"));
    EXPECT_EQ(area.tipActual(), QStringLiteral("Conectando"));
    EXPECT_EQ(icono.TooltipText(), QStringLiteral("Sincronizador Kestrel"));
    icono.setTooltipText(QStringLiteral("Otro"));
    EXPECT_EQ(area.tipActual(), QStringLiteral("Otro"));
}

TEST(ClsSystray, QuitarDosVecesNoHaceDano) {
    AreaNotificacionPrueba area;
    {
        clsSystray icono(area);
        icono.Init(nullptr, QStringLiteral("tip"));
        icono.delIcon();
        icono.delIcon();
        EXPECT_FALSE(area.presente);
    }
    EXPECT_EQ(area.llamadas.last().comando, ComandoIcono::Borrar) << "the instance's end removes it once more";
}

TEST(ClsSystray, DrawIconConColorTransparente) {
    AreaNotificacionPrueba area;
    clsSystray icono(area);
    icono.Init(nullptr, QStringLiteral("tip"));
    CajaImagen caja;
    caja.setFrameStyle(QFrame::NoFrame);
    caja.resize(48, 48);
    caja.imagen().fill(QColor(255, 0, 255));
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            caja.imagen().setPixel(x, y, QColor(0, 128, 0).rgb());
    icono.DrawIcon(&caja, 0xFF00FF);
    const QImage resultado = area.iconoActual().pixmap(32, 32).toImage();
    ASSERT_EQ(resultado.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(resultado.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(resultado.pixel(16, 16)), 255);
    EXPECT_EQ(qGreen(resultado.pixel(16, 16)), 128);
    // Without a transparent colour the whole picture is the icon.
    icono.DrawIcon(&caja);
    EXPECT_EQ(qAlpha(area.iconoActual().pixmap(48, 48).toImage().pixel(2, 2)), 255);
}

} // namespace
} // namespace kestrel
