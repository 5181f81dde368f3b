#pragma once

#include <QString>
#include <QStringView>

#include "json/decimal.h"
#include "json/valor.h"
#include "print/contexto.h"
#include "print/impresora.h"

namespace kestrel {

/// The invoice's font, as the receipt printers name it.
inline const QString fuenteFactura = QStringLiteral("Courier 14 CPI");

// Small pieces the invoice sections share: how a payload value is read, compared and printed, and the
// amount line that every money row of the invoice uses.

/// True when the value is the text texto. The empty value of an absent member equals the empty text; a
/// number, a boolean or null never equals a text.
bool igualTexto(const Valor& valor, QStringView texto);

/// A value joined into a text: a number in its plain form (no blanks), the empty value as "". Null and
/// containers raise.
QString textoUnido(const ContextoImpresion& ctx, const Valor& valor);

/// A value read as an amount; the empty value is 0. Null, containers and texts that are not numbers raise.
Decimal numeroDe(const ContextoImpresion& ctx, const Valor& valor);

/// A payload value printed on its own: a text as it stands, a number as the printer writes numbers, the
/// empty value and null as nothing. Containers raise.
ElementoLinea elementoValor(const ContextoImpresion& ctx, const Valor& valor);

/// The amount text: a whole number with the branch's digit grouping and negative form.
QString textoImporte(const ContextoImpresion& ctx, const Decimal& importe);

/// The label at column 1 and the amount text ending one column short of the roll width. A label that
/// reaches past the amount's column pushes the amount to the next line, as the printer's tab does.
void imprimirLineaImporte(ContextoImpresion& ctx, const QString& etiqueta, const Decimal& importe);

} // namespace kestrel
