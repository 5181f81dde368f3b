#include <gtest/gtest.h>

#include "tablas.h"
#include "tray/caja_imagen.h"
#include "tray/clasbackground.h"

namespace kestrel {
namespace {

// Where the picture goes: tests/data/tablas/clasbackground.json.
TEST(ClasBackGround, GeometriaDelAjuste) {
    prueba::comprobarTablas(
        QStringLiteral("clasbackground"),
        {{QStringLiteral("ajuste"), [](const QJsonArray& a) {
              const auto tam = [](const QJsonValue& v) {
                  return QSize(v.toArray()[0].toInt(), v.toArray()[1].toInt());
              };
              const QRect r = clasBackGround::rectanguloAjustado(tam(a[0]), tam(a[1]), a[2].toInt());
              return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
          }}});
}

class PintarFondo : public ::testing::Test {
protected:
    CajaImagen caja;
    void SetUp() override {
        caja.setFrameStyle(QFrame::NoFrame);
        caja.resize(100, 100);
    }
};

TEST_F(PintarFondo, LaImagenQuedaCentradaEnLaCaja) {
    QImage imagen(200, 100, QImage::Format_RGB32);
    imagen.fill(Qt::blue);
    clasBackGround fondo;
    fondo.setForm(&caja);
    fondo.setImagen(imagen);
    fondo.setScaleMargin(32);
    fondo.Refresh();
    const QImage& r = caja.imagen();
    EXPECT_EQ(r.pixel(50, 50), QColor(Qt::blue).rgb());
    EXPECT_EQ(r.pixel(1, 26), QColor(Qt::blue).rgb()) << "Refresh paints without the margin";
    EXPECT_EQ(r.pixel(50, 20), QColor(Qt::white).rgb());
    EXPECT_EQ(r.pixel(50, 80), QColor(Qt::white).rgb());
    // The other variant takes the margin off.
    fondo.Refresh2();
    EXPECT_EQ(r.pixel(50, 50), QColor(Qt::blue).rgb());
    EXPECT_EQ(r.pixel(5, 50), QColor(Qt::white).rgb());
}

TEST_F(PintarFondo, SinImagenSoloSeLimpia) {
    caja.imagen().fill(Qt::red);
    clasBackGround fondo;
    fondo.setForm(&caja);
    fondo.Refresh();
    EXPECT_EQ(caja.imagen().pixel(50, 50), QColor(Qt::white).rgb());
    clasBackGround sinCaja;
    sinCaja.Refresh();
}

TEST_F(PintarFondo, LaCajaDestruidaNoSeUsa) {
    clasBackGround fondo;
    {
        CajaImagen efimera;
        fondo.setForm(&efimera);
    }
    EXPECT_EQ(fondo.Form(), nullptr);
    fondo.Refresh();
}

} // namespace
} // namespace kestrel
