#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

#include "print/impresora.h"

namespace kestrel {

/// How long a call into CUPS may keep the window waiting before the document fails.
inline constexpr std::chrono::milliseconds limiteCupsPredeterminado{5000};

/// The printers installed through CUPS: its destinations, its default destination, jobs painted with
/// QPrinter, raw jobs for the cash drawer. A scheduler that does not answer within limite fails the
/// document at hand instead of freezing the window.
std::unique_ptr<SistemaImpresion> crearSistemaCups(std::chrono::milliseconds limite = limiteCupsPredeterminado);

/// PDF printers named by nombres (the first is the default) writing into carpetaSalida: each ended document
/// becomes <impresora>-<n>.pdf with its text view <impresora>-<n>.txt, each raw write
/// <impresora>-cajon-<n>.bin. The page is as wide as the narrowest roll (58 or 80 mm) that holds the ticket.
std::unique_ptr<SistemaImpresion> crearSistemaVirtual(const QStringList& nombres, const QString& carpetaSalida);

/// Natural size of a picture file in hundredths of a millimetre (96 dpi when it states no resolution),
/// read by content whatever its name; raises failure 481 when it is not a readable picture. For printer
/// systems that cannot decode pictures themselves (the text view).
QSize tamanoImagenNatural(const QString& ruta);

} // namespace kestrel
