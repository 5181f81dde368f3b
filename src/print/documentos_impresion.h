#pragma once

#include <memory>

#include "print/contexto.h"
#include "print/documentos.h"

namespace kestrel {

/// The renderers of this module behind the dispatcher's interface, all printing through one context.
class DocumentosImpresion : public Documentos {
public:
    /// Prints through a context the caller keeps.
    explicit DocumentosImpresion(ContextoImpresion& ctx) : m_ctx(ctx) {}
    /// Owns the printer system and a context over it for as long as the documents live.
    DocumentosImpresion(std::unique_ptr<SistemaImpresion> sistema, Avisos& avisos, const QString& carpetaAplicacion);

    ContextoImpresion& contexto() { return m_ctx; }

    void fijarConfiguracion(const Valor& configuracion) override;
    void imprimirComanda(Collection& comandas) override;
    void imprimirFactura(const Valor& dato) override;
    void imprimirAnulacion(Collection& anulaciones) override;
    void abrirCajon() override;

private:
    std::unique_ptr<SistemaImpresion> m_sistema;
    std::unique_ptr<ContextoImpresion> m_propio;
    ContextoImpresion& m_ctx;
};

} // namespace kestrel
