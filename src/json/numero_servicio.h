#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

#include "json/decimal.h"
#include "json/valor.h"

namespace kestrel {

// Numbers as the print service writes them: its regional format is fixed ("." groups digits, "," separates
// decimals) rather than taken from the machine, so that every branch reads the same amounts.

inline bool esCifra(char16_t c) {
    return c >= u'0' && c <= u'9';
}

/// The characters a number token of a message may hold.
inline bool esCaracterNumero(char16_t c) {
    return esCifra(c) || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

/// The common case of a JSON number, -?digits(.digits)? with at most 17 whole digits, read directly. Gives
/// what formatearDecimal and convertirDecimalServicio give together; nullopt leaves it to them.
std::optional<Decimal> numeroSencillo(QStringView t);

/// Rewrites a number as the service's regional format writes it ("1.500,75": comma for decimals, point for
/// groups), keeping the first `decimales` fractional characters without rounding. Returns the empty text when
/// valor is not numeric in that format. The format is fixed rather than taken from the machine so that every
/// branch reads the same amounts. Raises "Desbordamiento" when the whole part does not fit a Decimal.
QString formatearDecimal(const Valor& valor, std::int16_t decimales);
/// Converts a text in the format formatearDecimal writes; raises "No coinciden los tipos" when it is not a
/// number and "Desbordamiento" when it does not fit.
Decimal convertirDecimalServicio(const QString& texto);

} // namespace kestrel
