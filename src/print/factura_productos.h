#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// The ruled block of ordered products: a CANT / PRODUCTO / TOTAL header and, for every product with an
/// amount above 0, its quantity, the start of its name and its amount, then the rest of the name and its
/// "<br/>"-separated notes. pedido is read, not changed. Failures (a product that is not an object, a null
/// name) end the block and reach the caller.
void imprimirProductos(ContextoImpresion& ctx, Collection& pedido);

} // namespace kestrel
