#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include "area_notificacion_prueba.h"
#include "tray/caja_imagen.h"
#include "tray/clssystray.h"

namespace kestrel {
namespace {

using prueba::AreaNotificacionPrueba;

// Each value of x raises at most one event: only the six of the table raise anything.
TEST(ClsSystray, MouseMoveTraduceSoloLosSeisValores) {
    AreaNotificacionPrueba area;
    clsSystray icono(area);
    QSignalSpy izquierdo(&icono, &clsSystray::LeftClick);
    QSignalSpy derecho(&icono, &clsSystray::RightClick);
    QSignalSpy doble(&icono, &clsSystray::DoubleClick);
    QSignalSpy oculto(&icono, &clsSystray::BalloonHide);
    QSignalSpy expirado(&icono, &clsSystray::BalloonTimeOut);
    QSignalSpy pulsado(&icono, &clsSystray::BalloonClicked);
    QSignalSpy* espias[] = {&izquierdo, &derecho, &doble, &oculto, &expirado, &pulsado};
    struct Caso {
        int x;
        int evento; ///< index in espias, -1 for none
    };
    const Caso casos[] = {{514, 0},  {517, 1},   {515, 2}, {1027, 3}, {1028, 4},  {7695, 5}, {513, -1},
                          {516, -1}, {1029, -1}, {0, -1},  {-1, -1},  {7694, -1}, {7710, -1}};
    for (const Caso& c : casos) {
        int antes[6];
        for (int i = 0; i < 6; ++i)
            antes[i] = static_cast<int>(espias[i]->count());
        icono.MouseMove(1, c.x, nullptr);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(espias[i]->count() - antes[i], i == c.evento ? 1 : 0) << "x=" << c.x << " evento " << i;
    }
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
    EXPECT_EQ(icono.TooltipText(), QStringLiteral("Otro"));
}

TEST(ClsSystray, LosTextosSeCortanAlTamanoDelRegistro) {
    struct Caso {
        qsizetype largo;
        qsizetype tip;
        qsizetype globo;
        qsizetype titulo;
    };
    const Caso casos[] = {
        {10, 10, 10, 10},    {63, 63, 63, 63},    {64, 64, 64, 63},    {127, 127, 127, 63},
        {128, 127, 128, 63}, {255, 127, 255, 63}, {256, 127, 255, 63}, {1000, 127, 255, 63},
    };
    for (const Caso& c : casos) {
        AreaNotificacionPrueba area;
        clsSystray icono(area);
        icono.Init(nullptr, QString(c.largo, QLatin1Char('t')));
        const QString texto(c.largo, QLatin1Char('x'));
        icono.ShowBalloonTip(texto, 1, texto, 30000);
        EXPECT_EQ(area.tipActual().size(), c.tip) << c.largo;
        EXPECT_EQ(area.globos().last().szInfo.size(), c.globo) << c.largo;
        EXPECT_EQ(area.globos().last().szInfoTitle.size(), c.titulo) << c.largo;
        EXPECT_EQ(icono.TooltipText().size(), c.largo) << "the property keeps the whole text";
    }
    // A character outside the basic plane is never cut in half.
    const QString emoji = QString(62, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x96\xA8");
    EXPECT_EQ(cortarCampo(emoji, 64), QString(62, QLatin1Char('a')));
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

// The window receives the shell's code as a mouse position in twips.
TEST(ClsSystray, LasNotificacionesLleganALaVentanaEnTwips) {
    AreaNotificacionPrueba area;
    clsSystray icono(area);
    icono.Init(nullptr, QStringLiteral("tip"));
    QSignalSpy ventana(&icono, &clsSystray::notificacionVentana);
    const std::tuple<int, int, double> casos[] = {{513, 1, 7695.0}, {514, 1, 7710.0}, {515, 1, 7725.0},
                                                  {517, 2, 7755.0}, {520, 4, 7800.0}, {1029, 0, 15435.0}};
    for (const auto& [codigo, boton, x] : casos) {
        area.simular(codigo);
        ASSERT_FALSE(ventana.isEmpty());
        const QList<QVariant> args = ventana.takeFirst();
        EXPECT_EQ(args.at(0).toInt(), boton) << codigo;
        EXPECT_DOUBLE_EQ(args.at(1).toDouble(), x) << codigo;
    }
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
