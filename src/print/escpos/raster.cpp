#include "print/escpos/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrel {

namespace {

constexpr double puntosPorPulgada = 203.2;
constexpr double twipsPorPulgada = 1440.0;

// The bands stay under 64 KB, which every printer's receive path takes in one command, and under 1024 rows, so
// the high byte of a band's height is at most 3 and its header can never read as a real-time command.
constexpr int bytesMaximosBanda = 65535;
constexpr int filasMaximasBanda = 1023;

constexpr float umbral = 128.0F;

/// Many printers act on the real-time commands DLE EOT, DLE ENQ and DLE DC4 wherever their bytes appear, raster
/// data included: a logo whose dots happen to spell DLE DC4 1 would open the cash drawer. The DLE byte of such
/// a pair gives up its single dot.
void desarmarTiempoReal(QByteArray& puntos) {
    constexpr char dle = 0x10;
    for (qsizetype i = 0; i + 1 < puntos.size(); ++i) {
        const char siguiente = puntos.at(i + 1);
        if (puntos.at(i) == dle && (siguiente == 0x04 || siguiente == 0x05 || siguiente == 0x14))
            puntos[i] = 0;
    }
}

/// Lightness of a premultiplied pixel laid on white paper, 0 (black) to 255 (white).
float claridadSobreBlanco(QRgb p) {
    return 0.299F * static_cast<float>(qRed(p)) + 0.587F * static_cast<float>(qGreen(p)) +
           0.114F * static_cast<float>(qBlue(p)) + static_cast<float>(255 - qAlpha(p));
}

} // namespace

int puntosDeTwips(double twips) {
    return static_cast<int>(std::lround(twips * puntosPorPulgada / twipsPorPulgada));
}

RasterEscpos rasterizar(const QImage& imagen, int x, int ancho, int alto, int puntosAncho) {
    x = std::max(x, 0);
    const int visibles = std::min(ancho, puntosAncho - x);
    if (imagen.isNull() || visibles <= 0 || alto <= 0)
        return {};
    const QImage dibujo = imagen.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              .scaled(ancho, alto, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (dibujo.isNull())
        return {};

    RasterEscpos raster;
    raster.anchoBytes = (x + visibles + 7) / 8;
    raster.alto = alto;
    raster.puntos = QByteArray(static_cast<qsizetype>(raster.anchoBytes) * alto, '\0');
    // The error spreads over the whole drawn width, the part past the paper's edge too, so the dots that do land
    // are the same whatever the roll. Each row keeps one spare cell on either side.
    std::vector<float> actual(static_cast<size_t>(ancho) + 2, 0.0F);
    std::vector<float> siguiente(actual.size(), 0.0F);
    for (int fila = 0; fila < alto; ++fila) {
        const auto* pixeles = reinterpret_cast<const QRgb*>(dibujo.constScanLine(fila));
        char* salida = raster.puntos.data() + static_cast<qsizetype>(fila) * raster.anchoBytes;
        std::fill(siguiente.begin(), siguiente.end(), 0.0F);
        for (int columna = 0; columna < ancho; ++columna) {
            const size_t c = static_cast<size_t>(columna) + 1;
            const float valor = claridadSobreBlanco(pixeles[columna]) + actual[c];
            const bool negro = valor < umbral;
            const float error = valor - (negro ? 0.0F : 255.0F);
            actual[c + 1] += error * 7.0F / 16.0F;
            siguiente[c - 1] += error * 3.0F / 16.0F;
            siguiente[c] += error * 5.0F / 16.0F;
            siguiente[c + 1] += error * 1.0F / 16.0F;
            if (negro && columna < visibles) {
                const int punto = x + columna;
                salida[punto / 8] = static_cast<char>(salida[punto / 8] | (0x80 >> (punto % 8)));
            }
        }
        std::swap(actual, siguiente);
    }
    desarmarTiempoReal(raster.puntos);
    return raster;
}

QByteArray comandosRaster(const RasterEscpos& raster) {
    QByteArray salida;
    if (raster.vacio())
        return salida;
    const int filasBanda = std::clamp(bytesMaximosBanda / raster.anchoBytes, 1, filasMaximasBanda);
    for (int fila = 0; fila < raster.alto; fila += filasBanda) {
        const int filas = std::min(filasBanda, raster.alto - fila);
        // GS v 0 m xL xH yL yH: normal density, width in bytes, height in dots.
        const char cabecera[] = {0x1D,
                                 'v',
                                 '0',
                                 0,
                                 static_cast<char>(raster.anchoBytes & 0xFF),
                                 static_cast<char>(raster.anchoBytes >> 8),
                                 static_cast<char>(filas & 0xFF),
                                 static_cast<char>(filas >> 8)};
        salida.append(cabecera, sizeof cabecera);
        salida.append(raster.puntos.mid(static_cast<qsizetype>(fila) * raster.anchoBytes,
                                        static_cast<qsizetype>(filas) * raster.anchoBytes));
    }
    return salida;
}

} // namespace kestrel
