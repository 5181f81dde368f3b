#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// One kitchen ticket per order, each on its area's printer.
void imprimirComanda(ContextoImpresion& ctx, Collection& comandas);
/// One cancellation ticket per entry, each on its area's printer.
void imprimirAnulacion(ContextoImpresion& ctx, Collection& anulaciones);
/// Sends the drawer pulse through the printer "Facturas" (or the default printer).
void abrirCajon(ContextoImpresion& ctx);

} // namespace kestrel
