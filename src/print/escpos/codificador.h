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
/// of a document printed puntosAncho dots wide (a size range includes its lower bound, not its upper one):
///
///   layout size   font          magnification (GS !)                          columns 80 mm / 58 mm
///   below 9       B (9x17)      1x1                                           64 / 42
///   9 to 12       A (12x24)     1x1                                           48 / 32
///   12 to 15      A             double height                                 48 / 32
///   15 and up     A             double width and height, when the line has    24 / 16
///                               no padding inside (no run of 2+ blanks after
///                               its first non-blank) and twice its length
///                               fits; otherwise double height only            48 / 32
///
/// Double height never moves a column, so a padded product line keeps its alignment at any size. A line of
/// font A longer than its columns is printed in font B (at the same height) when it fits there. Bold comes
/// from the line's negrita.
LetraEscpos letraEscpos(const LineaVista& linea, int puntosAncho);

/// How many characters of that letter fit on a line puntosAncho dots wide.
int columnasEscpos(const LetraEscpos& letra, int puntosAncho);

/// Text in code page PC858; a character the code page lacks becomes '?'.
QByteArray aPc858(const QString& texto);

/// A whole document as ESC/POS: initialise, code page PC858, every line of the text view at the columns the
/// layout gave it, each picture line (esImagen) as a dithered raster where the layout put it, then a feed and
/// a partial cut. imagenes holds the pictures of the picture lines, in their order.
///
/// Letter changes are sent only when a line needs another letter than the one before. A picture is sized from
/// the layout's twips at 203.2 dpi, shrunk (keeping its proportions) to the printable width, and cut off where
/// its position pushes it past the paper's edge; a missing or unreadable picture is logged and left out. The
/// end is ESC d 4 and GS V 66 0: a margin of four lines under the last one, then the printer feeds to its
/// cutter and cuts partially, leaving a tab that keeps the ticket hanging until the cashier takes it.
QByteArray codificarDocumento(const QList<LineaVista>& lineas, const QList<QImage>& imagenes, int puntosAncho);

} // namespace kestrel
