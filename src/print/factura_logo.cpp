#include "print/factura_logo.h"

#include <QDir>
#include <QSize>

#include <cmath>
#include <cstdint>

#include "json/fallo.h"
#include "print/diseno.h"
#include "print/factura_lineas.h"

namespace kestrel {

namespace {

// Pictures this wide (130 mm) or wider are fitted to the line; smaller ones keep 500/1300 of their size.
constexpr std::int64_t anchoAjustado = 13000;
// Twips between the measuring line's width and the drawn area, and from the top of the page.
constexpr int margenAncho = 40;
constexpr double margenSuperior = 20.0;

} // namespace

QString rutaLogo(const ContextoImpresion& ctx) {
    return QDir(ctx.carpetaAplicacion).filePath(QStringLiteral("logo.bmp"));
}

void imprimirLogo(ContextoImpresion& ctx) {
    const QString ruta = rutaLogo(ctx);
    const QSize natural = ctx.impresoras.tamanoImagen(ruta);
    Impresora& impresora = ctx.impresora();

    const double altoLinea = std::nearbyint(impresora.altoTexto(QStringLiteral("HOLA")));
    const int ancho = anchoLinea(ctx) - margenAncho;
    const std::int64_t anchoNatural = natural.width();
    const std::int64_t altoNatural = natural.height();
    // A font without height would ask for endless lines under the picture.
    if (altoLinea <= 0.0)
        throw FalloPlataforma::estandar(numerofallo::divisionPorCero);

    double w = 0.0;
    double h = 0.0;
    if (anchoNatural >= anchoAjustado) {
        w = ancho;
        h = static_cast<double>(altoNatural * ancho) / static_cast<double>(anchoNatural);
    } else {
        w = static_cast<double>(anchoNatural * 500) / 1300.0;
        h = static_cast<double>(altoNatural * 500) / 1300.0;
    }
    const double x = w < ancho ? std::nearbyint((ancho - w) / 2.0) : 0.0;
    impresora.dibujarImagen(ruta, x, margenSuperior, w, h);

    // Drawing leaves the print position where it was: step below the picture with empty lines.
    const double lineas = h / altoLinea;
    for (int i = 0; i <= lineas; ++i)
        imprimirLinea(ctx, QString());
}

} // namespace kestrel
