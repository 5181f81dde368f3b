#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>

namespace kestrel {

/// Exact decimal number: sign, 96-bit magnitude and a scale of 0 to 28 fractional digits. Amounts from the
/// service are carried as these so that a receipt never shows a binary rounding artefact. Arithmetic that
/// does not fit raises the overflow failure; it never wraps.
class Decimal {
public:
    using Magnitud = unsigned __int128;

    static constexpr int escalaMaxima = 28;
    /// 2^96 - 1, the largest magnitude.
    static constexpr Magnitud magnitudMaxima = (static_cast<Magnitud>(1) << 96) - 1;

    enum class Redondeo {
        MitadAlejada, ///< halves away from zero
        MitadPar,     ///< halves to the even digit
        Truncar,      ///< toward zero
    };

    Decimal() = default;
    Decimal(std::int64_t entero); // NOLINT(google-explicit-constructor): whole numbers read naturally

    /// Builds from parts; raises the overflow failure when the magnitude or the scale does not fit.
    static Decimal desdePartes(bool negativo, Magnitud magnitud, int escala);
    /// Reads the invariant form [+-]digits[.digits][(e|E)[+-]digits], independent of any locale. Values with
    /// more than 28 fractional digits are rounded to even; nullopt when malformed or too large.
    static std::optional<Decimal> desdeTextoInvariante(QStringView texto);
    /// The nearest decimal to a double (15 significant digits, as the platform converts); overflow raises.
    static Decimal desdeDouble(double valor);

    bool negativo() const { return m_negativo; }
    int escala() const { return m_escala; }
    Magnitud magnitud() const { return m_magnitud; }
    bool esCero() const { return m_magnitud == 0; }

    Decimal operator-() const;
    Decimal operator+(const Decimal& otro) const;
    Decimal operator-(const Decimal& otro) const;
    Decimal operator*(const Decimal& otro) const;
    /// Division with as many fractional digits as fit (28 at most); division by zero raises failure 11.
    Decimal operator/(const Decimal& otro) const;
    Decimal abs() const;

    bool operator==(const Decimal& otro) const { return comparar(otro) == 0; }
    std::strong_ordering operator<=>(const Decimal& otro) const;
    int comparar(const Decimal& otro) const;

    /// Rounds to the given number of fractional digits (0 to 28).
    Decimal redondear(int decimales, Redondeo modo) const;
    /// Whole number as a 64-bit integer after rounding; overflow raises.
    std::int64_t aEntero64(Redondeo modo) const;
    double aDouble() const;

    /// Plain text with the given decimal separator: no grouping, trailing fractional zeros dropped, "-" for
    /// negatives ("1500.75", "100000", "-3.99").
    QString aTexto(QChar separadorDecimal = QLatin1Char('.')) const;

private:
    void normalizarCero();

    Magnitud m_magnitud = 0;
    int m_escala = 0;
    bool m_negativo = false;
};

} // namespace kestrel
