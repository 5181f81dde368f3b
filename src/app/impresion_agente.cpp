#include "app/impresion_agente.h"

#include "print/avisos.h"
#include "print/documentos.h"

namespace kestrel {

std::unique_ptr<Documentos> crearImpresionAgente(const OpcionesImpresion&, Avisos&) {
    // This build carries no printing.
    return nullptr;
}

} // namespace kestrel
