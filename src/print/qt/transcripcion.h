#pragma once

#include <QLocale>
#include <QStringList>

#include "print/impresora.h"
#include "print/qt/documento.h"

namespace kestrel {

/// Replays a recorded document's calls on another printer, from its opening font on. Pictures are replayed
/// with their recorded placement.
void reproducir(const DocumentoGrabado& documento, Impresora& destino);

/// The text view of a recorded document: one string per printed line, trailing blanks dropped, pictures
/// leaving no line. The same transcript the preview prints.
QStringList transcribir(const DocumentoGrabado& documento, const QLocale& locale = QLocale());

} // namespace kestrel
