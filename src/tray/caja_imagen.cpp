#include "tray/caja_imagen.h"

#include <QPainter>

namespace kestrel {

CajaImagen::CajaImagen(QWidget* parent) : QFrame(parent), m_fondo(Qt::white) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setLineWidth(1);
    limpiar();
}

void CajaImagen::limpiar() {
    if (m_imagen.size() != contentsRect().size())
        m_imagen = QImage(contentsRect().size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    m_imagen.fill(m_fondo);
    update();
}

void CajaImagen::resizeEvent(QResizeEvent* evento) {
    QFrame::resizeEvent(evento);
    // What was drawn stays at the top left, as a persistent drawing does when its box changes size.
    QImage nueva(contentsRect().size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    nueva.fill(m_fondo);
    if (!m_imagen.isNull()) {
        QPainter p(&nueva);
        p.drawImage(0, 0, m_imagen);
    }
    m_imagen = nueva;
}

void CajaImagen::paintEvent(QPaintEvent* evento) {
    QFrame::paintEvent(evento);
    QPainter p(this);
    p.drawImage(contentsRect().topLeft(), m_imagen);
}

} // namespace kestrel
