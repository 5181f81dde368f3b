#pragma once

#include <QStringList>

#include "print/avisos.h"
#include "print/trabajo.h"

namespace kestrel::prueba {

/// Balloons and log lines that go nowhere.
struct AvisosMudos : Avisos {
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

/// A journal that keeps each entry as one line: its state, then "en <printer>: <reason>" once it is updated.
struct DiarioEnMemoria : DiarioTrabajos {
    QStringList entradas;
    qint64 anotar(const EntradaTrabajo& e) override {
        return entradas << nombreEstadoTrabajo(e.estado), entradas.size();
    }
    void actualizar(qint64 n, EstadoTrabajo e, const QString& usada, const QString& motivo, qint64) override {
        entradas[n - 1] = nombreEstadoTrabajo(e) + " en " + usada + (motivo.isEmpty() ? "" : ": " + motivo);
    }
};

} // namespace kestrel::prueba
