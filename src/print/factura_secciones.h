#pragma once

#include "print/contexto.h"

namespace kestrel {

// The invoice sections that depend only on the branch's settings (the copies cargarConfiguracion made at
// the start of the invoice, and the visibility of each setting). They print on the current printer in the
// font the invoice has set.

/// The establishment header: name, activity, tax identification, legal representative, address and
/// telephone, each centred and only when its setting is visible and filled. A failing line is skipped and
/// the next one printed. With conFecha a last line carries the current date and time (no caller asks for it).
void imprimirEncabezado(ContextoImpresion& ctx, bool conFecha);

/// The regime name and the tax authority's invoicing resolution with its number range. Failures reach the
/// caller.
void imprimirResolucion(ContextoImpresion& ctx);

/// The legend on suggested tips that the consumer protection authority requires.
void imprimirLeyendaPropina(ContextoImpresion& ctx);

/// The closing lines naming the invoicing software and its vendor.
void imprimirPieSoftware(ContextoImpresion& ctx);

} // namespace kestrel
