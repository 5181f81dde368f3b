#include "print/documentos_impresion.h"

#include "print/anulacion.h"
#include "print/cajon.h"
#include "print/comanda.h"
#include "print/factura.h"

namespace kestrel {

DocumentosImpresion::DocumentosImpresion(std::unique_ptr<SistemaImpresion> sistema, Avisos& avisos,
                                         const QString& carpetaAplicacion)
    : m_sistema(std::move(sistema)),
      m_propio(std::make_unique<ContextoImpresion>(*m_sistema, avisos, carpetaAplicacion)), m_ctx(*m_propio) {}

void DocumentosImpresion::fijarConfiguracion(const Valor& configuracion) {
    m_ctx.configuracion = configuracion;
}

void DocumentosImpresion::imprimirComanda(Collection& comandas) {
    kestrel::imprimirComanda(m_ctx, comandas);
}

void DocumentosImpresion::imprimirFactura(const Valor& dato) {
    kestrel::imprimirFactura(m_ctx, dato);
}

void DocumentosImpresion::imprimirAnulacion(Collection& anulaciones) {
    kestrel::imprimirAnulacion(m_ctx, anulaciones);
}

void DocumentosImpresion::abrirCajon() {
    kestrel::abrirCajon(m_ctx);
}

} // namespace kestrel
