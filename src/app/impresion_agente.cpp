#include "app/impresion_agente.h"

#include <QCoreApplication>
#include <QDir>

#include "print/avisos.h"
#include "print/contexto.h"
#include "print/documentos.h"
#include "print/documentos_impresion.h"
#include "print/qt/sistemas.h"

namespace kestrel {

namespace {

/// The printer system, the print context and the documents, kept alive together for the whole run.
class ImpresionAgente : public Documentos {
public:
    ImpresionAgente(std::unique_ptr<SistemaImpresion> sistema, Avisos& avisos, const OpcionesImpresion& opciones)
        : m_sistema(std::move(sistema)), m_ctx(*m_sistema, avisos, opciones.carpetaAplicacion), m_documentos(m_ctx) {
        m_ctx.propinaCupon = opciones.propinaCupon;
        // The link holds back any message that completes meanwhile until the invoice is done.
        m_ctx.cederEventos = [] { QCoreApplication::processEvents(); };
    }

    void fijarConfiguracion(const Valor& configuracion) override { m_documentos.fijarConfiguracion(configuracion); }
    void imprimirComanda(Collection& comandas) override { m_documentos.imprimirComanda(comandas); }
    void imprimirFactura(const Valor& dato) override { m_documentos.imprimirFactura(dato); }
    void imprimirAnulacion(Collection& anulaciones) override { m_documentos.imprimirAnulacion(anulaciones); }
    void abrirCajon() override { m_documentos.abrirCajon(); }

private:
    std::unique_ptr<SistemaImpresion> m_sistema;
    ContextoImpresion m_ctx;
    DocumentosImpresion m_documentos;
};

} // namespace

std::unique_ptr<Documentos> crearImpresionAgente(const OpcionesImpresion& opciones, Avisos& avisos) {
    std::unique_ptr<SistemaImpresion> sistema;
    if (opciones.impresorasVirtuales.isEmpty()) {
        sistema = crearSistemaCups();
    } else {
        const QString salida =
            QDir(opciones.salida.isEmpty() ? QStringLiteral("salida") : opciones.salida).absolutePath();
        avisos.registrar(QStringLiteral("Impresoras virtuales %1: los documentos quedan en %2")
                             .arg(opciones.impresorasVirtuales.join(QStringLiteral(", ")), salida));
        sistema = crearSistemaVirtual(opciones.impresorasVirtuales, salida);
    }
    return std::make_unique<ImpresionAgente>(std::move(sistema), avisos, opciones);
}

} // namespace kestrel
