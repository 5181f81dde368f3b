#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>

#include "print/impresora.h"
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

/// One raw job (CUPS_FORMAT_RAW) with these bytes, untouched by any filter; the job's number. creado, when
/// given, gets the number as soon as CUPS makes the job, before its bytes go: a call that fails after that
/// leaves a job CUPS may still print.
int enviarCrudo(const QString& impresora, const QByteArray& datos, std::chrono::milliseconds limite,
                std::atomic<qint64>* creado = nullptr);

/// Paints a document as a PDF of the queue's paper (page breaks where it ends) and sends it as one job; the
/// job's number, so the job can be followed. Gives up without sending (0) when abandonada turns true before
/// the job is handed over. creado as for enviarCrudo.
int imprimirEnCola(const QString& impresora, const DocumentoGrabado& documento, const QString& titulo,
                   const std::atomic_bool& abandonada, std::chrono::milliseconds limite,
                   std::atomic<qint64>* creado = nullptr);

/// How job trabajo stands, with the queue's own state: a stopped queue, or a stopped, held, aborted or
/// canceled job, fails with the reason in the cashier's words.
EstadoCola consultarTrabajoCups(const QString& impresora, int trabajo, std::chrono::milliseconds limite);

/// Cancels job trabajo (also one the queue holds), so it never prints later.
void cancelarTrabajoCups(const QString& impresora, int trabajo, std::chrono::milliseconds limite);

/// The reason a queue does not print, from its printer-state-reasons and printer-state-message.
QString motivoCola(const QStringList& razones, const QString& mensaje);

} // namespace kestrel
