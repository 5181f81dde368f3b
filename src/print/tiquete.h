#pragma once

#include <QString>

#include "json/decimal.h"
#include "json/valor.h"
#include "print/contexto.h"

namespace kestrel {

// Pieces the kitchen order and the cancellation ticket share.

/// The tickets' font, as the receipt printers name it.
inline const QString fuenteComanda = QStringLiteral("Courier 17 CPI");

void tamano(ContextoImpresion& ctx, float puntos);
/// The ticket font without bold or emphasis.
void fuenteNormal(ContextoImpresion& ctx);
/// A member printed on its own line as it came: a number follows the printer's rule for numbers.
void lineaValor(ContextoImpresion& ctx, const Valor& v);
/// An upper-cased paragraph wrapped at the roll width.
void parrafo(ContextoImpresion& ctx, QString texto);
/// The same wrapped by measured width; alineacion 2 centres.
void parrafoMedido(ContextoImpresion& ctx, QString texto, int alineacion = 0);
/// "Valores En Comanda" is "1".
bool preciosVisibles(ContextoImpresion& ctx);
/// The products of a kitchen order or a cancellation, "-" lines between the ones printed. Returns the sum
/// of the printed amounts (zero without prices).
Decimal imprimirProductosTiquete(ContextoImpresion& ctx, const Valor& productos, bool conPrecios);
/// "Comanda enviada a " + the current printer (the kitchen order and the cancellation alike).
void globoComandaEnviada(ContextoImpresion& ctx);
/// What a failed document left on the current printer must not be printed with the next one.
void descartarDocumento(ContextoImpresion& ctx);

} // namespace kestrel
