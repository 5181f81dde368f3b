#pragma once

#include "app/enlace.h"

// Where a benchmarked link shows itself: nowhere, so only the link is measured.
class SalidaNula : public kestrel::SalidaEnlace {
public:
    void agregarLog(const QString&) override {}
    void limpiarLog() override {}
    void mostrarConexion(bool, const QString&) override {}
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void mostrarEstado(const QString&) override {}
};
