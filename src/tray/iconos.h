#pragma once

#include <QIcon>
#include <QImage>

namespace kestrel {

/// The small pictures the window carries for its tray icon: a printer with a badge telling the link state.
enum class ImagenEstado {
    Ok,           ///< pctOK: connected and identified
    Desconectado, ///< pctDisconected: no link
    Conectado,    ///< pctConected
    Error,        ///< pctError
};

/// The picture at lado x lado pixels, painted (no files needed at run time).
QImage imagenEstado(ImagenEstado estado, int lado);
/// The picture at the usual icon sizes.
QIcon iconoEstado(ImagenEstado estado);
/// The window's own icon: the printer without a badge.
QIcon iconoVentana();

} // namespace kestrel
