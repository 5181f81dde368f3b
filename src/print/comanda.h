#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// One kitchen ticket per order, each on its area's printer.
void imprimirComanda(ContextoImpresion& ctx, Collection& comandas);

} // namespace kestrel
