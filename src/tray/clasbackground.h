#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>

#include "tray/caja_imagen.h"

namespace kestrel {

/// Paints a picture into a picture box, scaled to fit inside it with its proportions kept (a small picture is
/// enlarged) and centred. The drawing goes into the box's persistent image.
class clasBackGround {
public:
    /// Paints Imagen into Form with no margin.
    void Refresh();
    /// The same painting with ScaleMargin taken off the fitted width and height.
    void Refresh2();

    void setImagen(const QImage& imagen) { m_imagen = imagen; }
    CajaImagen* Form() const { return m_form; }
    void setForm(CajaImagen* form) { m_form = form; }
    qint16 ScaleMargin() const { return m_scaleMargin; }
    void setScaleMargin(qint16 margen) { m_scaleMargin = margen; }

    /// Where a picture of tamanoImagen pixels lands in a surface of tamanoSuperficie pixels: the smaller of
    /// the two ratios, margen pixels off width and height, centred; halves round to the even number.
    static QRect rectanguloAjustado(QSize tamanoImagen, QSize tamanoSuperficie, int margen);

private:
    static void PaintFitted(const QImage& imagen, CajaImagen* superficie, int margen);

    QImage m_imagen;
    QPointer<CajaImagen> m_form;
    qint16 m_scaleMargin = 0;
};

} // namespace kestrel
