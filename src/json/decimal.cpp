#include "json/decimal.h"

#include <array>
#include <cmath>

#include "json/fallo.h"

namespace kestrel {

namespace {

using U128 = Decimal::Magnitud;

/// Unsigned 256-bit scratch number: wide enough for a product of two magnitudes scaled by 10^28, so that
/// arithmetic is done exactly and rounded once.
struct U256 {
    std::array<std::uint64_t, 4> w{};

    static U256 de(U128 v) {
        U256 r;
        r.w[0] = static_cast<std::uint64_t>(v);
        r.w[1] = static_cast<std::uint64_t>(v >> 64);
        return r;
    }
    bool esCero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    bool cabe128() const { return w[2] == 0 && w[3] == 0; }
    U128 bajo() const { return (static_cast<U128>(w[1]) << 64) | w[0]; }
    bool impar() const { return (w[0] & 1U) != 0; }
};

int compararU256(const U256& a, const U256& b) {
    for (int i = 3; i >= 0; --i) {
        if (a.w[i] != b.w[i])
            return a.w[i] < b.w[i] ? -1 : 1;
    }
    return 0;
}

U256 sumar(const U256& a, const U256& b) {
    U256 r;
    U128 acarreo = 0;
    for (int i = 0; i < 4; ++i) {
        U128 s = static_cast<U128>(a.w[i]) + b.w[i] + acarreo;
        r.w[i] = static_cast<std::uint64_t>(s);
        acarreo = s >> 64;
    }
    return r;
}

/// a - b with a >= b.
U256 restar(const U256& a, const U256& b) {
    U256 r;
    std::uint64_t prestamo = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint64_t bi = b.w[i] + prestamo;
        std::uint64_t nuevoPrestamo = (bi < prestamo || a.w[i] < bi) ? 1 : 0;
        r.w[i] = a.w[i] - bi;
        prestamo = nuevoPrestamo;
    }
    return r;
}

void multiplicarPequeno(U256& a, std::uint64_t m) {
    U128 acarreo = 0;
    for (int i = 0; i < 4; ++i) {
        U128 p = static_cast<U128>(a.w[i]) * m + acarreo;
        a.w[i] = static_cast<std::uint64_t>(p);
        acarreo = p >> 64;
    }
}

std::uint64_t dividirPequeno(U256& a, std::uint64_t d) {
    U128 resto = 0;
    for (int i = 3; i >= 0; --i) {
        U128 actual = (resto << 64) | a.w[i];
        a.w[i] = static_cast<std::uint64_t>(actual / d);
        resto = actual % d;
    }
    return static_cast<std::uint64_t>(resto);
}

U256 multiplicar(U128 a, U128 b) {
    const std::uint64_t a0 = static_cast<std::uint64_t>(a), a1 = static_cast<std::uint64_t>(a >> 64);
    const std::uint64_t b0 = static_cast<std::uint64_t>(b), b1 = static_cast<std::uint64_t>(b >> 64);
    U256 r = U256::de(static_cast<U128>(a0) * b0);
    U256 medio1 = U256::de(static_cast<U128>(a0) * b1);
    U256 medio2 = U256::de(static_cast<U128>(a1) * b0);
    U256 alto = U256::de(static_cast<U128>(a1) * b1);
    auto desplazar64 = [](U256 v, int limbs) {
        U256 s;
        for (int i = 3; i >= limbs; --i)
            s.w[i] = v.w[i - limbs];
        return s;
    };
    r = sumar(r, desplazar64(medio1, 1));
    r = sumar(r, desplazar64(medio2, 1));
    r = sumar(r, desplazar64(alto, 2));
    return r;
}

/// Bitwise long division; enough for the few divisions a receipt needs.
U256 dividir(const U256& a, U128 d, bool& restoNoCero) {
    U256 cociente;
    U256 resto;
    const U256 divisor = U256::de(d);
    for (int bit = 255; bit >= 0; --bit) {
        // resto = resto * 2 + bit
        for (int i = 3; i > 0; --i)
            resto.w[i] = (resto.w[i] << 1) | (resto.w[i - 1] >> 63);
        resto.w[0] = (resto.w[0] << 1) | ((a.w[bit / 64] >> (bit % 64)) & 1U);
        if (compararU256(resto, divisor) >= 0) {
            resto = restar(resto, divisor);
            cociente.w[bit / 64] |= (static_cast<std::uint64_t>(1) << (bit % 64));
        }
    }
    restoNoCero = !resto.esCero();
    return cociente;
}

U128 potencia10(int n) {
    U128 r = 1;
    for (int i = 0; i < n; ++i)
        r *= 10;
    return r;
}

[[noreturn]] void desbordar() {
    throw FalloPlataforma::estandar(numerofallo::desbordamiento);
}

/// Drops fractional digits (rounding half to even, with the digits already lost counted as sticky) until the
/// value fits in 96 bits with a scale of at most 28. Overflow when a whole number still does not fit.
Decimal ajustar(bool negativo, U256 magnitud, int escala, bool pegajoso = false) {
    const U256 maximo = U256::de(Decimal::magnitudMaxima);
    for (;;) {
        if (escala <= Decimal::escalaMaxima && compararU256(magnitud, maximo) <= 0)
            return Decimal::desdePartes(negativo, magnitud.bajo(), escala);
        std::uint64_t ultima = 0;
        bool previas = pegajoso;
        bool primera = true;
        while (escala > Decimal::escalaMaxima || compararU256(magnitud, maximo) > 0) {
            if (escala == 0)
                desbordar();
            if (!primera)
                previas = previas || ultima != 0;
            ultima = dividirPequeno(magnitud, 10);
            --escala;
            primera = false;
        }
        if (ultima > 5 || (ultima == 5 && (previas || magnitud.impar())))
            magnitud = sumar(magnitud, U256::de(1));
        // Only a carry up to 2^96 can bring us round again, and that division is exact.
        pegajoso = false;
    }
}

} // namespace

Decimal::Decimal(std::int64_t entero)
    : m_magnitud(entero < 0 ? static_cast<Magnitud>(-(entero + 1)) + 1 : static_cast<Magnitud>(entero)),
      m_negativo(entero < 0) {}

Decimal Decimal::desdePartes(bool negativo, Magnitud magnitud, int escala) {
    if (magnitud > magnitudMaxima || escala < 0 || escala > escalaMaxima)
        desbordar();
    Decimal d;
    d.m_magnitud = magnitud;
    d.m_escala = escala;
    d.m_negativo = negativo;
    d.normalizarCero();
    return d;
}

void Decimal::normalizarCero() {
    if (m_magnitud == 0)
        m_negativo = false;
}

std::optional<Decimal> Decimal::desdeTextoInvariante(QStringView texto) {
    qsizetype i = 0;
    const qsizetype n = texto.size();
    bool negativo = false;
    if (i < n && (texto[i] == QLatin1Char('+') || texto[i] == QLatin1Char('-'))) {
        negativo = texto[i] == QLatin1Char('-');
        ++i;
    }
    QString cifras;
    int fraccion = 0;
    bool hayCifra = false;
    bool hayPunto = false;
    for (; i < n; ++i) {
        const QChar c = texto[i];
        if (c.isDigit() && c.unicode() < 128) {
            hayCifra = true;
            if (!(cifras.isEmpty() && c == QLatin1Char('0')))
                cifras.append(c);
            if (hayPunto)
                ++fraccion;
        } else if (c == QLatin1Char('.') && !hayPunto) {
            hayPunto = true;
        } else {
            break;
        }
    }
    if (!hayCifra)
        return std::nullopt;
    long exponente = 0;
    if (i < n && (texto[i] == QLatin1Char('e') || texto[i] == QLatin1Char('E'))) {
        ++i;
        bool expNegativo = false;
        if (i < n && (texto[i] == QLatin1Char('+') || texto[i] == QLatin1Char('-'))) {
            expNegativo = texto[i] == QLatin1Char('-');
            ++i;
        }
        bool hayCifraExp = false;
        for (; i < n && texto[i].unicode() >= '0' && texto[i].unicode() <= '9'; ++i) {
            hayCifraExp = true;
            if (exponente < 100000)
                exponente = exponente * 10 + (texto[i].unicode() - '0');
        }
        if (!hayCifraExp)
            return std::nullopt;
        if (expNegativo)
            exponente = -exponente;
    }
    if (i != n)
        return std::nullopt;
    // The leading zeros of a fraction were dropped from cifras but still count in its scale.
    long escala = fraccion - exponente;
    if (cifras.isEmpty())
        return Decimal();
    if (escala < 0) {
        if (cifras.size() - escala > 80)
            return std::nullopt;
        cifras.append(QString(static_cast<qsizetype>(-escala), QLatin1Char('0')));
        escala = 0;
    }
    // Digits beyond what 256 bits can hold are far below the 28th decimal: round them away first.
    bool pegajoso = false;
    while (cifras.size() > 70) {
        if (escala == 0)
            return std::nullopt;
        pegajoso = pegajoso || cifras.back() != QLatin1Char('0');
        cifras.chop(1);
        --escala;
    }
    if (escala > 10000)
        return Decimal();
    U256 magnitud;
    for (QChar c : std::as_const(cifras)) {
        multiplicarPequeno(magnitud, 10);
        magnitud = sumar(magnitud, U256::de(static_cast<U128>(c.unicode() - '0')));
    }
    while (escala > 70) {
        pegajoso = pegajoso || dividirPequeno(magnitud, 10) != 0;
        --escala;
    }
    try {
        return ajustar(negativo, magnitud, static_cast<int>(escala), pegajoso);
    } catch (const FalloPlataforma&) {
        return std::nullopt;
    }
}

Decimal Decimal::desdeDouble(double valor) {
    if (!std::isfinite(valor))
        desbordar();
    auto d = desdeTextoInvariante(QString::number(valor, 'g', 15));
    if (!d)
        desbordar();
    return *d;
}

Decimal Decimal::operator-() const {
    Decimal r = *this;
    r.m_negativo = !m_negativo;
    r.normalizarCero();
    return r;
}

Decimal Decimal::abs() const {
    Decimal r = *this;
    r.m_negativo = false;
    return r;
}

Decimal Decimal::operator+(const Decimal& otro) const {
    const int escala = std::max(m_escala, otro.m_escala);
    U256 a = U256::de(m_magnitud);
    U256 b = U256::de(otro.m_magnitud);
    for (int i = m_escala; i < escala; ++i)
        multiplicarPequeno(a, 10);
    for (int i = otro.m_escala; i < escala; ++i)
        multiplicarPequeno(b, 10);
    if (m_negativo == otro.m_negativo)
        return ajustar(m_negativo, sumar(a, b), escala);
    if (compararU256(a, b) >= 0)
        return ajustar(m_negativo, restar(a, b), escala);
    return ajustar(otro.m_negativo, restar(b, a), escala);
}

Decimal Decimal::operator-(const Decimal& otro) const {
    return *this + (-otro);
}

Decimal Decimal::operator*(const Decimal& otro) const {
    return ajustar(m_negativo != otro.m_negativo, multiplicar(m_magnitud, otro.m_magnitud), m_escala + otro.m_escala);
}

Decimal Decimal::operator/(const Decimal& otro) const {
    if (otro.esCero())
        throw FalloPlataforma::estandar(numerofallo::divisionPorCero);
    // Scale the dividend so that the quotient carries up to 28 fractional digits.
    int k = std::min(escalaMaxima - m_escala + otro.m_escala, 48);
    k = std::max(k, 0);
    U256 dividendo = U256::de(m_magnitud);
    for (int i = 0; i < k; ++i)
        multiplicarPequeno(dividendo, 10);
    bool restoNoCero = false;
    U256 cociente = dividir(dividendo, otro.m_magnitud, restoNoCero);
    int escala = m_escala + k - otro.m_escala;
    while (escala < 0) {
        multiplicarPequeno(cociente, 10);
        ++escala;
    }
    // Exact quotients lose their padding zeros (1/4 is 0.25, not 0.2500...).
    if (!restoNoCero) {
        while (escala > 0) {
            U256 prueba = cociente;
            if (dividirPequeno(prueba, 10) != 0)
                break;
            cociente = prueba;
            --escala;
        }
    }
    return ajustar(m_negativo != otro.m_negativo, cociente, escala, restoNoCero);
}

int Decimal::comparar(const Decimal& otro) const {
    if (m_negativo != otro.m_negativo)
        return m_negativo ? -1 : 1;
    const int escala = std::max(m_escala, otro.m_escala);
    U256 a = U256::de(m_magnitud);
    U256 b = U256::de(otro.m_magnitud);
    for (int i = m_escala; i < escala; ++i)
        multiplicarPequeno(a, 10);
    for (int i = otro.m_escala; i < escala; ++i)
        multiplicarPequeno(b, 10);
    const int c = compararU256(a, b);
    return m_negativo ? -c : c;
}

std::strong_ordering Decimal::operator<=>(const Decimal& otro) const {
    const int c = comparar(otro);
    return c < 0 ? std::strong_ordering::less : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

Decimal Decimal::redondear(int decimales, Redondeo modo) const {
    decimales = std::clamp(decimales, 0, escalaMaxima);
    if (decimales >= m_escala)
        return *this;
    const U128 divisor = potencia10(m_escala - decimales);
    U128 cociente = m_magnitud / divisor;
    const U128 resto = m_magnitud % divisor;
    bool subir = false;
    switch (modo) {
    case Redondeo::MitadAlejada:
        subir = resto * 2 >= divisor;
        break;
    case Redondeo::MitadPar:
        subir = resto * 2 > divisor || (resto * 2 == divisor && (cociente & 1U) != 0);
        break;
    case Redondeo::Truncar:
        break;
    }
    if (subir)
        ++cociente;
    return desdePartes(m_negativo, cociente, decimales);
}

std::int64_t Decimal::aEntero64(Redondeo modo) const {
    const Decimal entero = redondear(0, modo);
    const U128 limite = entero.m_negativo ? static_cast<U128>(INT64_MAX) + 1 : static_cast<U128>(INT64_MAX);
    if (entero.m_magnitud > limite)
        desbordar();
    if (entero.m_negativo)
        return static_cast<std::int64_t>(-static_cast<std::int64_t>(entero.m_magnitud - 1) - 1);
    return static_cast<std::int64_t>(entero.m_magnitud);
}

double Decimal::aDouble() const {
    long double v = static_cast<long double>(m_magnitud);
    for (int i = 0; i < m_escala; ++i)
        v /= 10.0L;
    return static_cast<double>(m_negativo ? -v : v);
}

QString Decimal::aTexto(QChar separadorDecimal) const {
    QString cifras;
    U128 m = m_magnitud;
    do {
        cifras.prepend(QChar(static_cast<char16_t>(u'0' + static_cast<int>(m % 10))));
        m /= 10;
    } while (m != 0);
    if (cifras.size() <= m_escala)
        cifras.prepend(QString(m_escala - cifras.size() + 1, QLatin1Char('0')));
    QString entero = cifras.left(cifras.size() - m_escala);
    QString fraccion = cifras.right(m_escala);
    while (fraccion.endsWith(QLatin1Char('0')))
        fraccion.chop(1);
    QString r = m_negativo && !esCero() ? QStringLiteral("-") + entero : entero;
    if (!fraccion.isEmpty())
        r += separadorDecimal + fraccion;
    return r;
}

} // namespace kestrel
