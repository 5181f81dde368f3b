#include "tray/area_notificacion_qt.h"

#include <QLoggingCategory>

namespace kestrel {

namespace {
Q_LOGGING_CATEGORY(registroGlobos, "kestrel.globos", QtInfoMsg)
} // namespace

AreaNotificacionQt::AreaNotificacionQt(QObject* parent) : AreaNotificacion(parent), m_icono(this), m_escritorio(this) {
    connect(&m_icono, &QSystemTrayIcon::activated, this, &AreaNotificacionQt::alActivar);
    connect(&m_icono, &QSystemTrayIcon::messageClicked, this, [this] { emit notificacion(codigoshell::globoPulsado); });
    connect(&m_escritorio, &NotificacionesEscritorio::pulsado, this,
            [this] { emit notificacion(codigoshell::globoPulsado); });
    connect(&m_escritorio, &NotificacionesEscritorio::cerrado, this, [this](bool porTiempo) {
        emit notificacion(porTiempo ? codigoshell::globoExpirado : codigoshell::globoOculto);
    });
    connect(&m_escritorio, &NotificacionesEscritorio::rechazado, this, &AreaNotificacionQt::mostrarEnIcono);
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
    qCInfo(registroGlobos).noquote() << registro.szInfoTitle + QLatin1String(": ") + registro.szInfo;
    const int icono = static_cast<int>(registro.dwInfoFlags);
    const int tiempoMs = static_cast<int>(registro.uTimeout);
    if (m_escritorio.conectado())
        m_escritorio.mostrar(registro.szInfoTitle, registro.szInfo, icono, tiempoMs);
    else
        mostrarEnIcono(registro.szInfoTitle, registro.szInfo, icono, tiempoMs);
}

void AreaNotificacionQt::mostrarEnIcono(const QString& titulo, const QString& texto, int icono, int tiempoMs) {
    QSystemTrayIcon::MessageIcon tipo = QSystemTrayIcon::NoIcon;
    switch (icono) {
    case 1:
        tipo = QSystemTrayIcon::Information;
        break;
    case 2:
        tipo = QSystemTrayIcon::Warning;
        break;
    case 3:
        tipo = QSystemTrayIcon::Critical;
        break;
    default:
        break;
    }
    m_icono.showMessage(titulo, texto, tipo, tiempoMs);
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
