#include "print/qt/imagen.h"

#include <QImageReader>

#include <cmath>

#include "json/fallo.h"

namespace kestrel {

namespace {

constexpr double puntosPorPulgadaSupuestos = 96.0;
constexpr double centesimasPorMetro = 100000.0;

/// Dots per metre of one axis, or 0 when the file did not state it. Qt leaves a fresh image's default in
/// place when the file has no resolution (BMP with 0, PNG without pHYs, GIF, JFIF with aspect only), so a
/// value equal to that default is taken as unstated.
double puntosPorMetro(int declarados, int predeterminados) {
    return declarados > 0 && declarados != predeterminados ? declarados : 0;
}

double centesimas(int pixeles, double porMetro) {
    if (porMetro <= 0)
        porMetro = puntosPorPulgadaSupuestos / 0.0254;
    return std::round(pixeles / porMetro * centesimasPorMetro);
}

} // namespace

QImage cargarImagen(const QString& ruta) {
    QImageReader lector(ruta);
    lector.setDecideFormatFromContent(true);
    lector.setAutoTransform(true);
    QImage imagen = lector.read();
    if (imagen.isNull())
        throw FalloPlataforma(numerofallo::imagenNoValida, QStringLiteral("Imagen no válida: ") + ruta);
    return imagen;
}

QSize tamanoNaturalImagen(const QImage& imagen) {
    const QImage referencia(1, 1, QImage::Format_RGB32);
    const double x = puntosPorMetro(imagen.dotsPerMeterX(), referencia.dotsPerMeterX());
    const double y = puntosPorMetro(imagen.dotsPerMeterY(), referencia.dotsPerMeterY());
    return QSize(static_cast<int>(centesimas(imagen.width(), x)), static_cast<int>(centesimas(imagen.height(), y)));
}

QSize tamanoNaturalImagen(const QString& ruta) {
    return tamanoNaturalImagen(cargarImagen(ruta));
}

} // namespace kestrel
