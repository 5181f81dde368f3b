#include "tray/area_notificacion_qt.h"

#include <QDateTime>

namespace kestrel {

AreaNotificacionQt::AreaNotificacionQt(QObject* parent, std::FILE* salidaGlobos)
    : AreaNotificacion(parent), m_icono(this), m_salidaGlobos(salidaGlobos) {
    connect(&m_icono, &QSystemTrayIcon::activated, this, &AreaNotificacionQt::alActivar);
    connect(&m_icono, &QSystemTrayIcon::messageClicked, this, [this] { emit notificacion(codigoshell::globoPulsado); });
}

bool AreaNotificacionQt::disponible() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void AreaNotificacionQt::fijarMenu(QMenu* menu) {
    m_icono.setContextMenu(menu);
}

bool AreaNotificacionQt::notificar(ComandoIcono comando, const RegistroIcono& registro) {
    switch (comando) {
    case ComandoIcono::Agregar:
        if (m_presente)
            return false;
        aplicar(registro);
        m_icono.show();
        m_presente = true;
        return true;
    case ComandoIcono::Modificar:
        if (!m_presente)
            return false;
        aplicar(registro);
        return true;
    case ComandoIcono::Borrar:
        if (!m_presente)
            return false;
        m_icono.hide();
        m_presente = false;
        return true;
    }
    return false;
}

void AreaNotificacionQt::aplicar(const RegistroIcono& registro) {
    if (registro.uFlags & banderaicono::icono)
        m_icono.setIcon(registro.hIcon);
    if (registro.uFlags & banderaicono::tip)
        m_icono.setToolTip(registro.szTip);
    if (!(registro.uFlags & banderaicono::globo))
        return;
    QSystemTrayIcon::MessageIcon icono = QSystemTrayIcon::NoIcon;
    switch (registro.dwInfoFlags) {
    case 1:
        icono = QSystemTrayIcon::Information;
        break;
    case 2:
        icono = QSystemTrayIcon::Warning;
        break;
    case 3:
        icono = QSystemTrayIcon::Critical;
        break;
    default:
        break;
    }
    m_icono.showMessage(registro.szInfoTitle, registro.szInfo, icono, static_cast<int>(registro.uTimeout));
    if (!disponible() && m_salidaGlobos) {
        const QString linea = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                              QLatin1Char(' ') + registro.szInfoTitle + QLatin1String(": ") + registro.szInfo +
                              QLatin1Char('\n');
        std::fputs(linea.toLocal8Bit().constData(), m_salidaGlobos);
        std::fflush(m_salidaGlobos);
    }
}

void AreaNotificacionQt::alActivar(QSystemTrayIcon::ActivationReason razon) {
    // A click arrives as one activation; the shell would have sent the press and then the release.
    switch (razon) {
    case QSystemTrayIcon::Trigger:
        emit notificacion(codigoshell::botonIzquierdoAbajo);
        emit notificacion(codigoshell::botonIzquierdoArriba);
        break;
    case QSystemTrayIcon::DoubleClick:
        emit notificacion(codigoshell::dobleClicIzquierdo);
        break;
    case QSystemTrayIcon::Context:
        emit notificacion(codigoshell::botonDerechoAbajo);
        emit notificacion(codigoshell::botonDerechoArriba);
        break;
    case QSystemTrayIcon::MiddleClick:
        emit notificacion(codigoshell::botonCentralAbajo);
        emit notificacion(codigoshell::botonCentralArriba);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

} // namespace kestrel
