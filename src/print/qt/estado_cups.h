#pragma once

#include <QList>
#include <QStringList>

#include <chrono>

#include "print/estado_impresora.h"

namespace kestrel {

/// A queue's health from its printer-state (3 idle, 4 processing, 5 stopped), whether it accepts jobs and its
/// printer-state-reasons ("media-empty-error", "media-low-report", ...). Paper out, an open door and a lost
/// device win over a plain stop, as they say what to fix; a paper-low warning counts only on a queue that prints.
EstadoImpresora estadoColaCups(int estadoCola, bool aceptaTrabajos, const QStringList& razones);

/// Every queue of the scheduler with its health and device, in one request that gives up after limite.
/// Raises a printer failure when the scheduler cannot be reached or does not answer.
QList<LecturaImpresora> leerEstadosCups(std::chrono::milliseconds limite);

} // namespace kestrel
