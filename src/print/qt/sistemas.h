#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

#include "print/impresora.h"

namespace kestrel {

/// How long a call into the spooler may keep the window waiting before the document fails.
inline constexpr std::chrono::milliseconds limiteEquipoPredeterminado{5000};

/// The printers installed on this PC: CUPS's destinations and default destination (POSIX) or the Windows
/// printers and the Windows default printer (through its spooler), with jobs painted with QPrinter and raw jobs
/// for the cash drawer. A spooler that does not answer within limite fails the document at hand instead of
/// freezing the window. Defined by the platform's backend (sistema_cups.cpp or print/win/).
std::unique_ptr<SistemaImpresion> crearSistemaEquipo(std::chrono::milliseconds limite = limiteEquipoPredeterminado);

/// PDF printers named by nombres (the first is the default) writing into carpetaSalida: each ended document
/// becomes <impresora>-<n>.pdf with its text view <impresora>-<n>.txt, each raw write
/// <impresora>-cajon-<n>.bin. The page is as wide as the narrowest roll (58 or 80 mm) that holds the ticket.
std::unique_ptr<SistemaImpresion> crearSistemaVirtual(const QStringList& nombres, const QString& carpetaSalida);

/// Natural size of a picture file in hundredths of a millimetre (96 dpi when it states no resolution),
/// read by content whatever its name; raises failure 481 when it is not a readable picture. For printer
/// systems that cannot decode pictures themselves (the text view).
QSize tamanoImagenNatural(const QString& ruta);

} // namespace kestrel
