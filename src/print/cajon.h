#pragma once

#include "print/contexto.h"

namespace kestrel {

/// Sends the drawer pulse through the printer "Facturas" (or the default printer).
void abrirCajon(ContextoImpresion& ctx);

} // namespace kestrel
