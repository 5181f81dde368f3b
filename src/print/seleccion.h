#pragma once

#include <QString>
#include <QStringList>

#include "print/contexto.h"

namespace kestrel {

/// Printer names are compared the way the branch types them: trimmed and case-insensitive.
bool mismaImpresora(const QString& a, const QString& b);
/// Index in nombres of the first name that is mismaImpresora with nombre, or -1.
int buscarImpresora(const QStringList& nombres, const QString& nombre);
/// A comma-separated list of names (printers, options): each trimmed, empty ones dropped.
QStringList listaNombres(const QString& texto);

/// The default printer's device name, or empty.
QString impresoraPredeterminada(ContextoImpresion& ctx);
/// Index of the installed printer named nombre (trimmed, case-insensitive), else of the default printer.
/// Raises a printer failure when neither is installed.
int indiceImpresora(ContextoImpresion& ctx, const QString& nombre);
/// Makes printer indice current and probes it; on a failed first attempt falls back once to the default
/// printer with the notice "Error en Impresora " + name. True when a usable printer is current.
bool seleccionarImpresora(ContextoImpresion& ctx, int indice, int intento);
/// True when the current printer's device name can be read.
bool impresoraDisponible(ContextoImpresion& ctx);

} // namespace kestrel
