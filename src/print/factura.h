#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// Prints the customer's invoice for a "factura" payload on the default printer.
void imprimirFactura(ContextoImpresion& ctx, const Valor& dato);

} // namespace kestrel
