#include "app/impresion_agente.h"

#include <QCoreApplication>
#include <QDir>

#include "print/avisos.h"
#include "print/contexto.h"
#include "print/documentos.h"
#include "print/documentos_impresion.h"
#include "print/qt/sistemas.h"

namespace kestrel {

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
    auto documentos = std::make_unique<DocumentosImpresion>(std::move(sistema), avisos, opciones.carpetaAplicacion);
    documentos->contexto().propinaCupon = opciones.propinaCupon;
    // The link holds back any message that completes meanwhile until the invoice is done.
    documentos->contexto().cederEventos = [] { QCoreApplication::processEvents(); };
    return documentos;
}

} // namespace kestrel
