#pragma once

#include <QByteArray>
#include <QImage>

namespace kestrel {

/// A 1-bit picture as the printer's raster command takes it: alto rows of anchoBytes bytes each, the
/// leftmost dot in the high bit, a set bit printed black.
struct RasterEscpos {
    int anchoBytes = 0;
    int alto = 0;
    QByteArray puntos;

    bool vacio() const { return anchoBytes == 0 || alto == 0; }
};

/// Print-head dots (203.2 dpi, 8 dots a millimetre) for a length in twips, rounded.
int puntosDeTwips(double twips);

/// imagen drawn ancho x alto dots with x blank dots on its left: composited on white, turned to 1 bit with
/// Floyd-Steinberg error diffusion, and cut off at puntosAncho. Empty when nothing of it lands on the paper.
RasterEscpos rasterizar(const QImage& imagen, int x, int ancho, int alto, int puntosAncho);

/// The raster as GS v 0 commands, in bands of at most 1023 rows and 64 KB.
QByteArray comandosRaster(const RasterEscpos& raster);

} // namespace kestrel
