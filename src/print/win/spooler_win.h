#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

#include "print/win/estado_spooler.h"

namespace kestrel {

// Calls into the Windows spooler (winspool). Each may block on a printer shared over the network, so they run
// on the printers' worker thread; all raise a printer failure with Windows' own reason when they cannot do
// their job, or the no-answer failure (numerofallo::dispositivoNoDisponible) when the spooler service itself
// does not answer.

/// Raises when the printer is unknown to Windows or cannot take a job now (paused, out of paper, offline, ...).
void comprobarImpresoraSpooler(const QString& impresora);

/// One job of the RAW data type with these bytes, untouched by the driver; the job's number, also stored in
/// creado as soon as the spooler made the job.
qint64 enviarCrudoSpooler(const QString& impresora, const QByteArray& datos, const QString& titulo,
                          std::atomic<qint64>* creado);

/// Every printer Windows knows (local and connected), with its health and port.
QList<LecturaImpresora> leerEstadosSpooler();

/// Asks the spooler the cheapest question there is; raises the no-answer failure when it does not answer.
void tocarSpooler();

/// The newest job of that printer whose document name is titulo; 0 when the spooler no longer lists one (the
/// job already reached the printer).
qint64 buscarTrabajoSpooler(const QString& impresora, const QString& titulo);

/// The job's and its printer's status now.
LecturaSpooler leerTrabajoSpooler(const QString& impresora, qint64 trabajo);

/// Deletes the job so it never prints later; a job the spooler no longer lists is no failure.
void cancelarTrabajoSpooler(const QString& impresora, qint64 trabajo);

} // namespace kestrel
