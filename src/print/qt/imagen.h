#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace kestrel {

/// Reads a picture by its content, whatever its file name says (a "logo.bmp" may hold a PNG, a GIF or a
/// JPEG). Raises failure 481 when the file is not a readable picture.
QImage cargarImagen(const QString& ruta);

/// Natural size of a picture in hundredths of a millimetre, from the resolution the file states, or 96 dpi
/// when it states none.
QSize tamanoNaturalImagen(const QImage& imagen);
/// The same for a picture file; raises failure 481 when it is not a readable picture.
QSize tamanoNaturalImagen(const QString& ruta);

} // namespace kestrel
