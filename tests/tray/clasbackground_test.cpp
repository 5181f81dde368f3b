#include <gtest/gtest.h>

#include "tray/caja_imagen.h"
#include "tray/clasbackground.h"

namespace kestrel {
namespace {

TEST(ClasBackGround, GeometriaDelAjuste) {
    struct Caso {
        QSize imagen;
        QSize superficie;
        int margen;
        QRect esperado;
    };
    const Caso casos[] = {
        {{200, 100}, {100, 100}, 0, {0, 25, 100, 50}},
        {{50, 50}, {200, 100}, 0, {50, 0, 100, 100}},
        {{100, 100}, {100, 100}, 0, {0, 0, 100, 100}},
        {{200, 100}, {280, 160}, 0, {0, 10, 280, 140}},
        {{200, 100}, {280, 160}, 32, {16, 26, 248, 108}},
        {{1, 1}, {4, 1}, 0, {2, 0, 1, 1}}, // 1.5 rounds to 2
        {{1, 1}, {6, 1}, 0, {2, 0, 1, 1}}, // 2.5 rounds to 2
        {{1, 1}, {8, 1}, 0, {4, 0, 1, 1}}, // 3.5 rounds to 4
        {{3, 1}, {4, 4}, 0, {0, 2, 4, 1}},
        {{0, 10}, {100, 100}, 0, {}},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(clasBackGround::rectanguloAjustado(c.imagen, c.superficie, c.margen), c.esperado)
            << c.imagen.width() << "x" << c.imagen.height() << " en " << c.superficie.width() << "x"
            << c.superficie.height();
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
