#pragma once

#include <QList>
#include <QStringList>

#include <utility>

#include "app/enlace.h"

namespace kestrel::prueba {

/// Records what the link shows: the log as it stands, every entry ever logged, the tray image changes, the
/// balloons and the status label.
class SalidaEnlacePrueba : public SalidaEnlace {
public:
    QStringList log;
    QStringList historial;
    QList<std::pair<bool, QString>> conexiones;
    QStringList globos;
    QString estado;

    void agregarLog(const QString& entrada) override {
        log << entrada;
        historial << entrada;
    }
    void limpiarLog() override { log.clear(); }
    void mostrarConexion(bool conectado, const QString& tooltip) override { conexiones.append({conectado, tooltip}); }
    void mostrarGlobo(const QString& mensaje, int, const QString&, int) override { globos << mensaje; }
    void mostrarEstado(const QString& texto) override { estado = texto; }
};

} // namespace kestrel::prueba
