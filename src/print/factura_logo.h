#pragma once

#include "print/contexto.h"

namespace kestrel {

/// The branch logo's file in the application folder. Whatever picture the user chose (BMP, GIF, JPEG or
/// PNG content) is stored under this one name.
QString rutaLogo(const ContextoImpresion& ctx);

/// Draws the logo at the top of the current document, centred in the measuring line and scaled down, then
/// prints enough empty lines to move the text below it. Raises when the file is not a readable picture.
void imprimirLogo(ContextoImpresion& ctx);

} // namespace kestrel
