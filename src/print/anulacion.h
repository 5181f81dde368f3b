#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// One cancellation ticket per entry, each on its area's printer.
void imprimirAnulacion(ContextoImpresion& ctx, Collection& anulaciones);

} // namespace kestrel
