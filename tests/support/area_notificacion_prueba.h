#pragma once

#include <QList>

#include "tray/area_notificacion.h"

namespace kestrel::prueba {

/// A notification area that records every call and lets a test play the shell's notifications.
class AreaNotificacionPrueba : public AreaNotificacion {
public:
    struct Llamada {
        ComandoIcono comando;
        RegistroIcono registro;
        bool aceptada;
    };

    bool hayArea = true;
    bool presente = false;
    QList<Llamada> llamadas;
    QMenu* menu = nullptr;

    bool disponible() const override { return hayArea; }
    bool notificar(ComandoIcono comando, const RegistroIcono& registro) override {
        bool aceptada = true;
        if (comando == ComandoIcono::Agregar)
            aceptada = !presente, presente = true;
        else if (comando == ComandoIcono::Modificar)
            aceptada = presente;
        else
            aceptada = presente, presente = false;
        llamadas.append({comando, registro, aceptada});
        return aceptada;
    }
    void fijarMenu(QMenu* m) override { menu = m; }

    /// The shell reporting activity on the icon.
    void simular(int codigo) { emit notificacion(codigo); }

    /// The balloons shown, oldest first.
    QList<RegistroIcono> globos() const {
        QList<RegistroIcono> r;
        for (const Llamada& l : llamadas)
            if (l.aceptada && (l.registro.uFlags & banderaicono::globo))
                r << l.registro;
        return r;
    }
    /// The tooltip shown now.
    QString tipActual() const {
        QString tip;
        for (const Llamada& l : llamadas)
            if (l.aceptada && (l.registro.uFlags & banderaicono::tip))
                tip = l.registro.szTip;
        return tip;
    }
    /// The icon shown now.
    QIcon iconoActual() const {
        QIcon icono;
        for (const Llamada& l : llamadas)
            if (l.aceptada && (l.registro.uFlags & banderaicono::icono))
                icono = l.registro.hIcon;
        return icono;
    }
};

} // namespace kestrel::prueba
