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
        const bool aceptada = comando == ComandoIcono::Agregar ? !presente : presente;
        if (comando != ComandoIcono::Modificar)
            presente = comando == ComandoIcono::Agregar;
        llamadas.append({comando, registro, aceptada});
        return aceptada;
    }
    void fijarMenu(QMenu* m) override { menu = m; }

    /// The shell reporting activity on the icon.
    void simular(int codigo) { emit notificacion(codigo); }

    /// The balloons shown, oldest first.
    QList<RegistroIcono> globos() const { return aceptadas(banderaicono::globo); }
    /// The tooltip and the icon shown now.
    QString tipActual() const { return ultima(banderaicono::tip).szTip; }
    QIcon iconoActual() const { return ultima(banderaicono::icono).hIcon; }

private:
    QList<RegistroIcono> aceptadas(unsigned bandera) const {
        QList<RegistroIcono> r;
        for (const Llamada& l : llamadas)
            if (l.aceptada && (l.registro.uFlags & bandera))
                r << l.registro;
        return r;
    }
    RegistroIcono ultima(unsigned bandera) const {
        const QList<RegistroIcono> r = aceptadas(bandera);
        return r.isEmpty() ? RegistroIcono() : r.last();
    }
};

} // namespace kestrel::prueba
