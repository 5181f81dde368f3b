#pragma once

#include <QByteArray>
#include <QString>

#include "print/estado_impresora.h"

namespace kestrel {

/// What a receipt printer reports of itself through its real-time status (DLE EOT). A printer answers these
/// requests as soon as they arrive, even in the middle of a job or while it is offline.
struct EstadoEscpos {
    bool fueraDeLinea = false;
    bool tapaAbierta = false;
    bool sinPapel = false;
    /// The roll's near-end sensor: it still prints, but the roll wants changing soon.
    bool papelPorAcabarse = false;

    bool listo() const { return !fueraDeLinea && !tapaAbierta && !sinPapel; }
    bool operator==(const EstadoEscpos&) const = default;
};

/// The real-time status request DLE EOT n (n = 1 printer, 2 offline cause, 4 roll paper sensor).
QByteArray pedidoEstado(int n);

/// Reads the answers to DLE EOT 1, 2 and 4; an answer that did not come is -1 and tells nothing. A byte that
/// is not a status answer (its fixed bits wrong) is ignored the same way.
EstadoEscpos leerEstadoEscpos(int respuesta1, int respuesta2, int respuesta4);

/// Why the printer cannot print, as a cashier says it: "sin papel", "tapa abierta", "fuera de línea"; empty
/// when it is ready. Paper end is named first: it is the one the cashier can fix at once.
QString motivoEstado(const EstadoEscpos& estado);

/// The printer's health as the branch reads it: a reason not to print first, then the near-end warning.
EstadoImpresora estadoImpresoraEscpos(const EstadoEscpos& estado);

/// The byte a printer in that state answers to DLE EOT n (n = 1, 2 or 4; 0 for any other n).
char respuestaEstado(const EstadoEscpos& estado, int n);

} // namespace kestrel
