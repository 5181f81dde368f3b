#include "print/impresora_ausente.h"

#include "json/fallo.h"

namespace kestrel {

void ImpresoraAusente::fallar() {
    throw FalloPlataforma(numerofallo::errorImpresora, QStringLiteral("No hay ninguna impresora disponible"));
}

} // namespace kestrel
