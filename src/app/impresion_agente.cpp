#include "app/impresion_agente.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <chrono>

#include "print/avisos.h"
#include "print/contexto.h"
#include "print/documentos.h"
#include "print/documentos_impresion.h"
#include "print/grabador.h"
#include "print/registro_impresoras.h"
#include "print/seguimiento.h"
#include "print/escpos/sistema_escpos.h"
#include "print/qt/sistemas.h"
#include "trabajos/diario_sqlite.h"

namespace kestrel {

std::unique_ptr<SistemaImpresion> crearSistemaAgente(const OpcionesImpresion& opciones, Avisos& avisos) {
    std::unique_ptr<SistemaImpresion> sistema;
    if (opciones.impresorasVirtuales.isEmpty()) {
        sistema = crearSistemaEquipo();
    } else {
        const QString salida =
            QDir(opciones.salida.isEmpty() ? QStringLiteral("salida") : opciones.salida).absolutePath();
        avisos.registrar(QStringLiteral("Impresoras virtuales %1: los documentos quedan en %2")
                             .arg(opciones.impresorasVirtuales.join(QStringLiteral(", ")), salida));
        sistema = crearSistemaVirtual(opciones.impresorasVirtuales, salida);
    }
    if (opciones.escpos.isEmpty())
        return sistema;
    QStringList nombres;
    bool colas = false;
    for (const DestinoEscpos& d : opciones.escpos) {
        nombres << QStringLiteral("%1 (%2)").arg(d.nombre, d.direccion());
        colas = colas || d.tipo == DestinoEscpos::Tipo::Cups;
    }
    avisos.registrar(QStringLiteral("Impresoras ESC/POS: %1").arg(nombres.join(QStringLiteral(", "))));
    // A raw queue is a CUPS queue even when the documents go to virtual printers.
    std::unique_ptr<SistemaImpresion> colasCups =
        colas && !opciones.impresorasVirtuales.isEmpty() ? crearSistemaEquipo() : nullptr;
    LimitesEscpos limites;
    limites.documento = std::chrono::seconds(std::max(1, opciones.limiteImpresion));
    return crearSistemaEscpos(std::move(sistema), opciones.escpos, std::move(colasCups), limites);
}

std::unique_ptr<Documentos> crearImpresionAgente(const OpcionesImpresion& opciones, Avisos& avisos,
                                                 TrabajosAgente* trabajos) {
    std::unique_ptr<SistemaImpresion> sistema = crearSistemaAgente(opciones, avisos);
    // Every document goes through the journal; a journal that cannot be written says so and printing goes on.
    auto diario = std::make_shared<DiarioSqlite>(opciones.carpetaAplicacion, &avisos);
    diario->prepararInicio(opciones.diasTrabajos);
    // Each printer's state, last document and counts: from the printer system, and from the journal's outcomes.
    auto impresoras = std::make_shared<RegistroImpresoras>();
    SistemaImpresion* real = sistema.get();
    real->observarEstados([impresoras](const LecturaImpresora& l) { impresoras->leer(l); });
    auto grabador =
        std::make_unique<GrabadorTrabajos>(std::move(sistema), std::make_shared<DiarioObservado>(diario, impresoras));
    GrabadorTrabajos* grabando = grabador.get();
    // Jobs are followed until they are on paper; a printer without a spooler has finished when it returns.
    grabador->fijarSeguimiento(std::make_unique<SeguimientoTrabajos>(
        *grabador, avisos, std::chrono::seconds(std::max(1, opciones.limiteImpresion))));
    auto documentos = std::make_unique<DocumentosImpresion>(std::move(grabador), avisos, opciones.carpetaAplicacion);
    documentos->contexto().grabador = grabando;
    if (trabajos)
        *trabajos = TrabajosAgente{diario, grabando, impresoras, real};
    documentos->contexto().propinaCupon = opciones.propinaCupon;
    // The link holds back any message that completes meanwhile until the invoice is done.
    documentos->contexto().cederEventos = [] { QCoreApplication::processEvents(); };
    return documentos;
}

} // namespace kestrel
