#pragma once

#include "json/valor.h"

namespace kestrel {

/// The renderers the dispatcher reaches, one per message kind. Implemented by the print module; failures a
/// document does not handle itself reach the caller as FalloPlataforma.
class Documentos {
public:
    virtual ~Documentos() = default;
    /// Replaces the process-wide configuration with a message's "config" member.
    virtual void fijarConfiguracion(const Valor& configuracion) = 0;
    virtual void imprimirComanda(Collection& comandas) = 0;
    virtual void imprimirFactura(const Valor& dato) = 0;
    virtual void imprimirAnulacion(Collection& anulaciones) = 0;
    virtual void abrirCajon() = 0;
};

} // namespace kestrel
