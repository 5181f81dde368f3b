#include "tray/iconos.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <optional>

namespace kestrel {

namespace {

constexpr int tamanos[] = {16, 22, 24, 32, 48, 64, 128};

// Everything is drawn on a 64 x 64 grid and scaled.
void pintarImpresora(QPainter& p, const QColor& luz) {
    p.setPen(QPen(QColor(0x26, 0x32, 0x38), 1.5));
    // Sheet going in.
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 5, 28, 22));
    p.setPen(QPen(QColor(0x90, 0xA4, 0xAE), 1.5));
    for (int y = 11; y <= 19; y += 4)
        p.drawLine(QPointF(22, y), QPointF(42, y));
    // Body.
    QLinearGradient degradado(0, 22, 0, 50);
    degradado.setColorAt(0, QColor(0x60, 0x7D, 0x8B));
    degradado.setColorAt(1, QColor(0x37, 0x47, 0x4F));
    p.setPen(QPen(QColor(0x26, 0x32, 0x38), 1.5));
    p.setBrush(degradado);
    p.drawRoundedRect(QRectF(5, 22, 54, 26), 6, 6);
    // Slot and the receipt coming out.
    p.setBrush(QColor(0x1C, 0x24, 0x28));
    p.drawRect(QRectF(14, 36, 36, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(16, 38, 32, 22));
    p.setPen(QPen(QColor(0x90, 0xA4, 0xAE), 1.5));
    for (int y = 44; y <= 56; y += 4)
        p.drawLine(QPointF(20, y), QPointF(44, y));
    // Power light.
    p.setPen(Qt::NoPen);
    p.setBrush(luz);
    p.drawEllipse(QPointF(51, 29), 3, 3);
}

void pintarInsignia(QPainter& p, ImagenEstado estado) {
    QColor fondo;
    switch (estado) {
    case ImagenEstado::Ok:
        fondo = QColor(0x2E, 0x7D, 0x32);
        break;
    case ImagenEstado::Desconectado:
        fondo = QColor(0xC6, 0x28, 0x28);
        break;
    case ImagenEstado::Conectado:
        fondo = QColor(0x15, 0x65, 0xC0);
        break;
    case ImagenEstado::Error:
        fondo = QColor(0xEF, 0x6C, 0x00);
        break;
    }
    const QPointF centro(48, 48);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(fondo);
    p.drawEllipse(centro, 15, 15);
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (estado) {
    case ImagenEstado::Ok: {
        QPainterPath visto;
        visto.moveTo(40, 48);
        visto.lineTo(46, 54);
        visto.lineTo(56, 42);
        p.drawPath(visto);
        break;
    }
    case ImagenEstado::Desconectado:
        p.drawLine(QPointF(42, 42), QPointF(54, 54));
        p.drawLine(QPointF(54, 42), QPointF(42, 54));
        break;
    case ImagenEstado::Conectado:
        p.drawLine(QPointF(41, 48), QPointF(55, 48));
        p.drawLine(QPointF(50, 43), QPointF(55, 48));
        p.drawLine(QPointF(50, 53), QPointF(55, 48));
        break;
    case ImagenEstado::Error:
        p.drawLine(QPointF(48, 40), QPointF(48, 49));
        p.drawPoint(QPointF(48, 55));
        break;
    }
}

QImage pintar(std::optional<ImagenEstado> estado, int lado) {
    QImage imagen(lado, lado, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(lado / 64.0, lado / 64.0);
    const QColor luz = estado == ImagenEstado::Ok             ? QColor(0x76, 0xFF, 0x03)
                       : estado == ImagenEstado::Desconectado ? QColor(0xFF, 0x52, 0x52)
                                                              : QColor(0xFF, 0xA7, 0x26);
    pintarImpresora(p, luz);
    if (estado)
        pintarInsignia(p, *estado);
    return imagen;
}

QIcon icono(std::optional<ImagenEstado> estado) {
    QIcon resultado;
    for (int lado : tamanos)
        resultado.addPixmap(QPixmap::fromImage(pintar(estado, lado)));
    return resultado;
}

} // namespace

QImage imagenEstado(ImagenEstado estado, int lado) {
    return pintar(estado, lado);
}

QIcon iconoEstado(ImagenEstado estado) {
    return icono(estado);
}

QIcon iconoVentana() {
    return icono(std::nullopt);
}

} // namespace kestrel
