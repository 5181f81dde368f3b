#pragma once

#include <QString>
#include <QtGlobal>

#include "print/impresora.h"

namespace kestrel {

/// The Windows spooler's status bits (JOB_INFO_2::Status and PRINTER_INFO_2::Status), with the values winspool.h
/// gives them, so the reading of a job can be built and tested on any platform (spooler_win.cpp checks that
/// they agree).
namespace bitspooler {
inline constexpr quint32 trabajoPausado = 0x1;
inline constexpr quint32 trabajoError = 0x2;
inline constexpr quint32 trabajoBorrandose = 0x4;
inline constexpr quint32 trabajoEnCola = 0x8;
inline constexpr quint32 trabajoImprimiendo = 0x10;
inline constexpr quint32 trabajoFueraDeLinea = 0x20;
inline constexpr quint32 trabajoSinPapel = 0x40;
inline constexpr quint32 trabajoImpreso = 0x80;
inline constexpr quint32 trabajoBorrado = 0x100;
inline constexpr quint32 trabajoBloqueado = 0x200;
inline constexpr quint32 trabajoIntervencion = 0x400;
inline constexpr quint32 trabajoCompleto = 0x1000;
inline constexpr quint32 trabajoRetenido = 0x2000;

inline constexpr quint32 impresoraPausada = 0x1;
inline constexpr quint32 impresoraError = 0x2;
inline constexpr quint32 impresoraBorrandose = 0x4;
inline constexpr quint32 impresoraAtasco = 0x8;
inline constexpr quint32 impresoraSinPapel = 0x10;
inline constexpr quint32 impresoraProblemaPapel = 0x40;
inline constexpr quint32 impresoraFueraDeLinea = 0x80;
inline constexpr quint32 impresoraBandejaLlena = 0x800;
inline constexpr quint32 impresoraNoDisponible = 0x1000;
inline constexpr quint32 impresoraSinToner = 0x40000;
inline constexpr quint32 impresoraIntervencion = 0x100000;
inline constexpr quint32 impresoraTapaAbierta = 0x400000;
inline constexpr quint32 impresoraServidorDesconocido = 0x800000;
inline constexpr quint32 impresoraServidorFueraDeLinea = 0x2000000;
} // namespace bitspooler

/// One look at a job in the Windows spooler, with its printer's status at that moment.
struct LecturaSpooler {
    /// False once the spooler no longer lists the job.
    bool presente = true;
    quint32 trabajo = 0;
    quint32 impresora = 0;
    /// The driver's or port monitor's own words for the job (JOB_INFO_2::pStatus), often empty.
    QString mensaje;
};

/// How a job stands after one reading, with the reasons the CUPS queues give ("sin papel", "tapa abierta",
/// "desconectada", "detenida[: mensaje]", "trabajo cancelado"). Windows drops a job from its queue once its
/// bytes reached the printer, so a job no longer listed is printed; a job being deleted was cancelled by
/// someone. A paused, blocked or failed job, or a printer that is paused, in error, out of paper, open or
/// offline, fails the job so the follow-up can cancel it and send the document elsewhere.
EstadoCola estadoSpooler(const LecturaSpooler& lectura);

/// Why a printer cannot take a job now, from its status bits; empty when it can.
QString motivoImpresoraSpooler(quint32 estadoImpresora);

/// A Windows printer's health from its status bits (PRINTER_INFO_2::Status). What to fix first wins: paper,
/// then the door, then the connection, then any other stop. Windows has no bit for paper running low, so a
/// spooler printer never reads "papel por acabarse"; a print server that does not know the printer's state
/// reads unknown.
EstadoImpresora estadoImpresoraSpooler(quint32 estadoImpresora);

/// True for the Windows errors that say the spooler service itself did not answer (stopped, restarting,
/// overloaded, a print server out of reach), as opposed to an answer about the printer or the job: a call
/// that ends with one says nothing of the job and is asked again.
bool spoolerSinRespuesta(quint32 errorWindows);

/// The description of the failure raised when the spooler does not answer.
QString descripcionSpoolerNoResponde();

} // namespace kestrel
