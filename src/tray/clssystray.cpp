#include "tray/clssystray.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "tray/caja_imagen.h"

namespace kestrel {

QString cortarCampo(const QString& texto, qsizetype tamano) {
    if (texto.size() < tamano)
        return texto;
    qsizetype largo = tamano - 1;
    if (largo > 0 && texto.at(largo - 1).isHighSurrogate())
        --largo;
    return texto.left(largo);
}

clsSystray::clsSystray(AreaNotificacion& area, QObject* parent) : QObject(parent), m_area(area) {}

clsSystray::~clsSystray() {
    delIcon();
}

bool clsSystray::Init(QWidget* pfrm, const QString& pstrTooltip) {
    m_registro = RegistroIcono();
    m_registro.cbSize = RegistroIcono::tamanoRegistro;
    m_registro.hWnd = pfrm;
    m_registro.hIcon = pfrm ? pfrm->windowIcon() : QIcon();
    m_registro.uID = 1;
    m_registro.uCallbackMessage = codigoshell::mouseMove;
    m_registro.uFlags = banderaicono::mensaje | banderaicono::icono;
    disconnect(&m_area, &AreaNotificacion::notificacion, this, nullptr);
    connect(&m_area, &AreaNotificacion::notificacion, this, &clsSystray::reenviar);
    m_area.notificar(ComandoIcono::Agregar, m_registro);
    setTooltipText(pstrTooltip);
    return false;
}

void clsSystray::reenviar(int codigo) {
    int boton = 0;
    if (codigo >= codigoshell::botonIzquierdoAbajo && codigo <= codigoshell::dobleClicIzquierdo)
        boton = 1;
    else if (codigo >= codigoshell::botonDerechoAbajo && codigo <= codigoshell::botonDerechoArriba)
        boton = 2;
    else if (codigo >= codigoshell::botonCentralAbajo && codigo <= codigoshell::botonCentralArriba)
        boton = 4;
    emit notificacionVentana(boton, static_cast<double>(codigo) * twipsPorPixel);
}

void clsSystray::setTooltipText(const QString& pstrTooltip) {
    m_tooltip = pstrTooltip;
    m_registro.szTip = cortarCampo(pstrTooltip, RegistroIcono::largoTip);
    m_registro.uFlags = banderaicono::tip;
    m_area.notificar(ComandoIcono::Modificar, m_registro);
}

void clsSystray::SetIcon(const QIcon& image, const QString& tip) {
    m_registro.hIcon = image;
    m_registro.szTip = cortarCampo(tip, RegistroIcono::largoTip);
    m_registro.uFlags = banderaicono::icono | banderaicono::tip;
    m_area.notificar(ComandoIcono::Modificar, m_registro);
}

void clsSystray::ShowBalloonTip(const QString& pstrMessage, int penIcon, const QString& pstrTitle, int plngTimeout) {
    m_registro.szInfo = cortarCampo(pstrMessage, RegistroIcono::largoInfo);
    m_registro.szInfoTitle = cortarCampo(pstrTitle, RegistroIcono::largoTituloInfo);
    m_registro.uTimeout = static_cast<quint32>(plngTimeout);
    m_registro.dwInfoFlags = static_cast<quint32>(penIcon);
    m_registro.uFlags = banderaicono::globo;
    m_area.notificar(ComandoIcono::Modificar, m_registro);
}

void clsSystray::delIcon() {
    m_area.notificar(ComandoIcono::Borrar, m_registro);
}

void clsSystray::MouseMove(int, int x, QWidget*) {
    switch (x) {
    case xLeftClick:
        emit LeftClick();
        break;
    case xRightClick:
        emit RightClick();
        break;
    case xDoubleClick:
        emit DoubleClick();
        break;
    case xBalloonHide:
        emit BalloonHide();
        break;
    case xBalloonTimeOut:
        emit BalloonTimeOut();
        break;
    case xBalloonClicked:
        emit BalloonClicked();
        break;
    default:
        break;
    }
}

void clsSystray::DrawIcon(CajaImagen* ppic, qint64 plngTransparentColor) {
    if (!ppic || ppic->imagen().isNull())
        return;
    const QImage& dibujo = ppic->imagen();
    QPixmap icono;
    if (plngTransparentColor >= 0) {
        // The icon is the top-left 32 x 32 of the picture, with the chosen colour see-through.
        QImage parte = dibujo.copy(0, 0, 32, 32).convertToFormat(QImage::Format_ARGB32);
        const QRgb transparente = static_cast<QRgb>(plngTransparentColor) & 0xFFFFFFu;
        for (int y = 0; y < parte.height(); ++y) {
            auto* fila = reinterpret_cast<QRgb*>(parte.scanLine(y));
            for (int x = 0; x < parte.width(); ++x)
                if ((fila[x] & 0xFFFFFFu) == transparente)
                    fila[x] = qRgba(0, 0, 0, 0);
        }
        icono = QPixmap::fromImage(parte);
    } else {
        icono = QPixmap::fromImage(dibujo);
    }
    if (icono.isNull())
        return;
    m_registro.hIcon = QIcon(icono);
    m_registro.uFlags = banderaicono::icono;
    m_area.notificar(ComandoIcono::Modificar, m_registro);
}

} // namespace kestrel
