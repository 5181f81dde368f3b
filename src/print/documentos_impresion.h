#pragma once

#include "print/contexto.h"
#include "print/documentos.h"

namespace kestrel {

/// The renderers of this module behind the dispatcher's interface, all printing through one context.
class DocumentosImpresion : public Documentos {
public:
    explicit DocumentosImpresion(ContextoImpresion& ctx) : m_ctx(ctx) {}

    void fijarConfiguracion(const Valor& configuracion) override;
    void imprimirComanda(Collection& comandas) override;
    void imprimirFactura(const Valor& dato) override;
    void imprimirAnulacion(Collection& anulaciones) override;
    void abrirCajon() override;

private:
    ContextoImpresion& m_ctx;
};

} // namespace kestrel
