#pragma once

#include <QString>

#include "json/decimal.h"
#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

// Fixed-width layout on the current printer. Columns are written for a 40-character line and scaled to the
// roll; every helper prints on ctx.impresora() with the font name the caller has set.

/// Rounds half to even (the receipts' one rounding of positions and sizes) into the 16-bit signed range;
/// beyond it raises the overflow failure.
int redondearPar(double valor);
/// texto without its leading and trailing blanks (U+0020 only: tabs and line ends are kept).
QString quitarBlancos(const QString& texto);

/// 32 when "Tamaño de Factura" is exactly "rollo 55mm", else 40.
int anchoRollo(ContextoImpresion& ctx);
/// "Tamano de Factura" (plain n) is exactly "rollo 55mm" / "rollo 75mm".
bool esRollo55(ContextoImpresion& ctx);
bool esRollo75(ContextoImpresion& ctx);
/// columna * anchoRollo / 40, rounded half to even.
int escalarColumna(ContextoImpresion& ctx, int columna);
/// Length of the leading whole words of texto that fit in ancho, each counted with one following blank.
int largoQueCabe(const QString& texto, int ancho);
/// ancho minus the length of the trimmed texto (negative when it does not fit).
int espacioLibre(const QString& texto, int ancho);
/// Upper-cased, wrapped paragraph of lines of at most ancho characters; alineacion 2 centres, any other
/// value starts at column sangria (below 1: column 1). texto is left upper-cased.
void imprimirTexto(ContextoImpresion& ctx, QString& texto, int ancho, int alineacion, int sangria);
/// The same paragraph wrapped by the printer's measured width against anchoLinea; ancho receives that limit.
void imprimirTextoMedido(ContextoImpresion& ctx, QString& texto, int& ancho, int alineacion, int sangria);
/// Printed width of the roll's measuring line of "=" in twips, rounded half to even.
int anchoLinea(ContextoImpresion& ctx);
/// One line holding texto from column 1.
void imprimirLinea(ContextoImpresion& ctx, const QString& texto);
/// A priced product line: the quantity as the printer writes numbers, from column columna the leading words
/// of the name that fit in anchoNombre (both for a 40-character line), and the amount text ending one column
/// short of the line; the rest of the name follows, wrapped, from column 5.
void imprimirLineaProducto(ContextoImpresion& ctx, const Decimal& cantidad, const QString& nombre, int columna,
                           int anchoNombre, const QString& importe);
/// The documents' small font size for the roll: 7 on the 55 mm roll, 10 otherwise.
float tamanoPequeno(ContextoImpresion& ctx);
/// True when the value is neither absent, the empty text nor null: a comparison with null holds for
/// nothing, so a null member counts as not given.
bool tieneTexto(const Valor& valor);

/// One "=" or "-" separator line for the roll; any other character prints nothing.
void imprimirSeparador(ContextoImpresion& ctx, QChar caracter);

} // namespace kestrel
