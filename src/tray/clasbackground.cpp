#include "tray/clasbackground.h"

#include <QPainter>

#include <cmath>

#include "tray/caja_imagen.h"

namespace kestrel {

namespace {
int redondearPar(double valor) {
    return static_cast<int>(std::nearbyint(valor));
}
} // namespace

QRect clasBackGround::rectanguloAjustado(QSize tamanoImagen, QSize tamanoSuperficie, int margen) {
    if (tamanoImagen.width() <= 0 || tamanoImagen.height() <= 0)
        return {};
    const double rx = static_cast<double>(tamanoSuperficie.width()) / tamanoImagen.width();
    const double ry = static_cast<double>(tamanoSuperficie.height()) / tamanoImagen.height();
    const double factor = ry >= rx ? rx : ry;
    const int ancho = redondearPar(tamanoImagen.width() * factor - margen);
    const int alto = redondearPar(tamanoImagen.height() * factor - margen);
    const int x = redondearPar((tamanoSuperficie.width() - ancho) / 2.0);
    const int y = redondearPar((tamanoSuperficie.height() - alto) / 2.0);
    return {x, y, ancho, alto};
}

void clasBackGround::PaintFitted(const QImage& imagen, CajaImagen* superficie, int margen) {
    if (!superficie)
        return;
    superficie->limpiar();
    const QRect destino = rectanguloAjustado(imagen.size(), superficie->imagen().size(), margen);
    if (destino.width() <= 0 || destino.height() <= 0)
        return;
    QPainter pintor(&superficie->imagen());
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawImage(destino, imagen);
    pintor.end();
    superficie->update();
}

void clasBackGround::Refresh() {
    PaintFitted(m_imagen, m_form, 0);
}

void clasBackGround::Refresh2() {
    PaintFitted(m_imagen, m_form, m_scaleMargin);
}

} // namespace kestrel
