#pragma once

#include <QList>

#include <memory>

#include "print/escpos/destino.h"
#include "print/escpos/hilo_escpos.h"
#include "print/impresora.h"

namespace kestrel {

/// The printers of interno plus the receipt printers spoken to in ESC/POS, under their own names.
///
/// impresoras() is interno's list with each ESC/POS printer in the place of the printer of the same name (as
/// mismaImpresora compares them) or after the others; the default stays interno's, so an ESC/POS printer named
/// like it is the default. An ESC/POS printer lays documents out as the text view does and sends each ended
/// document, or raw write, as ESC/POS bytes without waiting: its job number (tomarTrabajo) reads Pendiente
/// until the printer took it, then Impreso or Fallido with the reason. Its probe asks the printer's status.
/// cups: printers send raw jobs through colasCups (interno when null) and are followed as that system's jobs.
/// Everything else goes to interno.
std::unique_ptr<SistemaImpresion> crearSistemaEscpos(std::unique_ptr<SistemaImpresion> interno,
                                                     QList<DestinoEscpos> impresoras,
                                                     std::unique_ptr<SistemaImpresion> colasCups = nullptr,
                                                     LimitesEscpos limites = {});

} // namespace kestrel
