#pragma once

#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

/// The money block of the invoice: sub-total with the delivery charge or the tip lines (or the approval
/// lines the guest marks by hand), the total in one of its forms, and the tax table of common-regime
/// establishments. dato is the invoice payload. An "impuestos" that is not a list fails, whatever the regime.
void imprimirTotales(ContextoImpresion& ctx, Dictionary& dato);

} // namespace kestrel
