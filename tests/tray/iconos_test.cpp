#include <gtest/gtest.h>

#include "tray/iconos.h"

namespace kestrel {
namespace {

int opacos(const QImage& imagen) {
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x)
            n += qAlpha(imagen.pixel(x, y)) > 200;
    return n;
}

// The tray must tell connected from not connected at a glance: real pictures, different from each other.
TEST(Iconos, CadaEstadoTieneSuPropiaImagen) {
    const ImagenEstado estados[] = {ImagenEstado::Ok, ImagenEstado::Desconectado, ImagenEstado::Conectado,
                                    ImagenEstado::Error};
    QList<QImage> imagenes;
    for (ImagenEstado e : estados) {
        const QImage i = imagenEstado(e, 32);
        ASSERT_EQ(i.size(), QSize(32, 32));
        EXPECT_GT(opacos(i), 32 * 32 / 3) << "mostly drawn";
        EXPECT_LT(opacos(i), 32 * 32) << "with a transparent background";
        imagenes << i;
    }
    for (int a = 0; a < imagenes.size(); ++a)
        for (int b = a + 1; b < imagenes.size(); ++b)
            EXPECT_NE(imagenes.at(a), imagenes.at(b)) << a << " " << b;
    // The connected badge is green, the disconnected one red.
    const QColor ok = imagenEstado(ImagenEstado::Ok, 64).pixelColor(48, 56);
    const QColor no = imagenEstado(ImagenEstado::Desconectado, 64).pixelColor(48, 58);
    EXPECT_GT(ok.green(), ok.red());
    EXPECT_GT(no.red(), no.green());
}

TEST(Iconos, LosIconosTraenVariosTamanos) {
    for (const QIcon& icono : {iconoVentana(), iconoEstado(ImagenEstado::Ok)}) {
        EXPECT_GE(icono.availableSizes().size(), 5);
        EXPECT_FALSE(icono.pixmap(16, 16).isNull());
        EXPECT_FALSE(icono.pixmap(64, 64).isNull());
    }
}

} // namespace
} // namespace kestrel
