#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>

#include "print/qt/documento.h"

namespace kestrel {

// Calls into CUPS. Each of them may block on a wedged scheduler, so they run on HiloCups; the ones that use
// libcups directly also carry their own time limit so the thread itself comes back. All raise a printer
// failure with CUPS's own reason when they cannot do their job.

/// CUPS's destinations ("name" or "name/instance") and its default one.
struct DestinosCups {
    QStringList nombres;
    QString predeterminado;
};

DestinosCups consultarDestinos(std::chrono::milliseconds limite);

/// Raises when the queue cannot take a job: unknown to CUPS, stopped, or not accepting jobs.
void comprobarCola(const QString& impresora, std::chrono::milliseconds limite);

/// One raw job (CUPS_FORMAT_RAW) with these bytes, untouched by any filter.
void enviarCrudo(const QString& impresora, const QByteArray& datos, std::chrono::milliseconds limite);

/// Paints a document on the queue through QPrinter and sends it as one job, page breaks where the queue's
/// paper ends. Gives up without sending when abandonada turns true before the job is handed over.
void imprimirEnCola(const QString& impresora, const DocumentoGrabado& documento, const QString& titulo,
                    const std::atomic_bool& abandonada);

} // namespace kestrel
