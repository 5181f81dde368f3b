#pragma once

#include <QLocale>
#include <QString>

#include <optional>

#include "json/decimal.h"

namespace kestrel {

/// The one place where numbers meet the machine's regional settings (QLocale(), that is the system locale
/// from LANG / LC_ALL / LC_NUMERIC unless a test pins another). Receipts must show amounts the way the branch
/// writes them: under es_CO 12500 is "12.500" and 12.5 is "12,5".
namespace formato {

/// Whole-number digits with sep between groups of three, counted from the right ("1500000" -> "1.500.000").
QString agruparMiles(QStringView cifras, QStringView sep);

/// Amount text: a whole number (halves away from zero) with digit grouping and the locale's negative form.
QString textoImporte(const Decimal& valor, const QLocale& locale = QLocale());
/// A number printed on its own: one blank (or the minus sign) before, one blank after, no grouping.
QString textoImpresora(const Decimal& valor, const QLocale& locale = QLocale());
/// A number joined into a text: the locale's decimal separator, no grouping, no padding.
QString textoPlano(const Decimal& valor, const QLocale& locale = QLocale());
/// The platform's locale-aware number conversion: blanks around, a sign, digits with the locale's group
/// separators, its decimal separator and an exponent. nullopt when the text is not such a number.
std::optional<Decimal> leerNumero(const QString& texto, const QLocale& locale = QLocale());

} // namespace formato
} // namespace kestrel
