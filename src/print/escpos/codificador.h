#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include "print/vista_texto.h"

namespace kestrel {

/// Printable width of a receipt roll in dots (203 dpi print heads).
inline constexpr int puntosRollo80 = 576;
inline constexpr int puntosRollo58 = 384;

/// The printer's character size and emphasis a line is printed with.
struct LetraEscpos {
    bool fuenteB = false;
    bool dobleAlto = false;
    bool dobleAncho = false;
    bool negrita = false;

    bool operator==(const LetraEscpos&) const = default;
};

/// The one table from the layout's font sizes to the printer's character sizes (see the README), for a line
/// of a document printed puntosAncho dots wide.
LetraEscpos letraEscpos(const LineaVista& linea, int puntosAncho);

/// Text in code page PC858; a character the code page lacks becomes '?'.
QByteArray aPc858(const QString& texto);

/// A whole document as ESC/POS: initialise, code page PC858, every line of the text view at the columns the
/// layout gave it, each picture line (esImagen) as a dithered raster where the layout put it, then a feed and
/// a partial cut. imagenes holds the pictures of the picture lines, in their order.
QByteArray codificarDocumento(const QList<LineaVista>& lineas, const QList<QImage>& imagenes, int puntosAncho);

} // namespace kestrel
