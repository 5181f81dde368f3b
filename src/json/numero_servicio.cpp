#include "json/numero_servicio.h"

#include "json/fallo.h"
#include "json/formato_numero.h"

namespace kestrel {

namespace {

[[noreturn]] void fallar(int numero) {
    throw FalloPlataforma::estandar(numero);
}

/// The service's regional number format, fixed: "." groups digits, "," separates decimals. Accepts blanks
/// around, a sign, digits with group marks anywhere after the first digit, a decimal part and an exponent.
bool esNumeroServicio(QStringView t, bool conDecimales) {
    t = t.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    if (i >= n || !esCifra(t[i].unicode()))
        return false;
    while (i < n && (esCifra(t[i].unicode()) || t[i] == u'.'))
        ++i;
    if (conDecimales && i < n && t[i] == u',') {
        ++i;
        while (i < n && esCifra(t[i].unicode()))
            ++i;
    }
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        if (i >= n || !esCifra(t[i].unicode()))
            return false;
        while (i < n && esCifra(t[i].unicode()))
            ++i;
    }
    return i == n;
}

/// Digits of a whole number as text (no leading zeros, "" for zero) to a magnitude; overflow raises.
Decimal::Magnitud magnitudDeCifras(QStringView cifras) {
    if (cifras.size() > 29)
        fallar(numerofallo::desbordamiento);
    Decimal::Magnitud m = 0;
    for (QChar c : cifras)
        m = m * 10 + static_cast<unsigned>(c.unicode() - u'0');
    if (m > Decimal::magnitudMaxima)
        fallar(numerofallo::desbordamiento);
    return m;
}

/// The whole part of a number in the service's format (sign, digits with group marks, exponent), rounded to
/// a whole number with halves away from zero, written with group marks. A minus sign is kept even when the
/// whole part is zero, so that "-0.5" stays negative once its fraction is joined.
QString formatearEntero(QStringView t) {
    t = t.trimmed();
    qsizetype i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negativo = t[i] == u'-';
        ++i;
    }
    QString cifras;
    for (; i < t.size() && (esCifra(t[i].unicode()) || t[i] == u'.'); ++i) {
        if (t[i] != u'.' && !(cifras.isEmpty() && t[i] == u'0'))
            cifras.append(t[i]);
    }
    qint64 exponente = 0;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        bool expNegativo = false;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
            expNegativo = t[i] == u'-';
            ++i;
        }
        for (; i < t.size(); ++i) {
            // Beyond a million the answer is overflow or zero either way; stop counting.
            if (exponente < 1000000)
                exponente = exponente * 10 + (t[i].unicode() - u'0');
        }
        if (expNegativo)
            exponente = -exponente;
    }
    Decimal::Magnitud magnitud = 0;
    if (!cifras.isEmpty()) {
        if (exponente >= 0) {
            if (cifras.size() + exponente > 29)
                fallar(numerofallo::desbordamiento);
            magnitud = magnitudDeCifras(cifras + QString(static_cast<qsizetype>(exponente), u'0'));
        } else {
            const qint64 quitar = -exponente;
            if (quitar <= cifras.size()) {
                const qsizetype quedan = cifras.size() - static_cast<qsizetype>(quitar);
                magnitud = magnitudDeCifras(QStringView(cifras).left(quedan));
                if (cifras[quedan] >= u'5')
                    ++magnitud;
                if (magnitud > Decimal::magnitudMaxima)
                    fallar(numerofallo::desbordamiento);
            }
        }
    }
    const QString plano = Decimal::desdePartes(false, magnitud, 0).aTexto();
    const QString agrupado = formato::agruparMiles(plano, u".");
    return negativo ? QLatin1Char('-') + agrupado : agrupado;
}

/// The common case of a JSON number, -?digits(.digits)? with at most 17 whole digits (so that two more still fit 64
/// bits), read directly. Gives what formatearDecimal and convertirDecimalServicio give together; nullopt leaves it to
/// them.
} // namespace

std::optional<Decimal> numeroSencillo(QStringView t) {
    qsizetype i = 0;
    const qsizetype n = t.size();
    bool negativo = false;
    if (i < n && t[i] == u'-') {
        negativo = true;
        ++i;
    }
    const qsizetype inicioEntero = i;
    std::uint64_t valor = 0;
    int significativas = 0;
    for (; i < n && esCifra(t[i].unicode()); ++i) {
        if (significativas > 0 || t[i] != u'0')
            ++significativas;
        valor = valor * 10 + (t[i].unicode() - u'0');
        if (significativas > 17)
            return std::nullopt;
    }
    if (i == inicioEntero)
        return std::nullopt;
    int escala = 0;
    if (i < n) {
        if (t[i] != u'.')
            return std::nullopt;
        ++i;
        const qsizetype inicioFraccion = i;
        for (; i < n && esCifra(t[i].unicode()); ++i) {
            if (escala < 2) {
                valor = valor * 10 + (t[i].unicode() - u'0');
                ++escala;
            }
        }
        if (i == inicioFraccion || i != n)
            return std::nullopt;
    }
    return Decimal::desdePartes(negativo, valor, escala);
}

QString formatearDecimal(const Valor& valor, std::int16_t decimales) {
    QString texto;
    if (valor.esNumero())
        texto = valor.numero().aTexto(QLatin1Char(','));
    else if (valor.esTexto())
        texto = valor.texto().trimmed();
    else
        return {};
    if (!esNumeroServicio(texto, true))
        return {};
    QStringView entero = texto;
    QStringView fraccion;
    const QChar marca = texto.contains(u',') ? QChar(u',') : QChar(u'.');
    const qsizetype primera = texto.indexOf(marca);
    if (primera >= 0) {
        entero = QStringView(texto).left(primera);
        fraccion = QStringView(texto).mid(primera + 1);
        const qsizetype segunda = fraccion.indexOf(marca);
        if (segunda >= 0)
            fraccion = fraccion.left(segunda);
    }
    QString resultado = formatearEntero(entero);
    fraccion = fraccion.left(std::max<std::int16_t>(decimales, 0));
    if (!fraccion.isEmpty())
        resultado.append(u',').append(fraccion);
    return resultado;
}

Decimal convertirDecimalServicio(const QString& texto) {
    if (!esNumeroServicio(texto, true))
        fallar(numerofallo::tiposNoCoinciden);
    // The same number in the invariant form: group marks dropped, "," as ".".
    QString invariante;
    invariante.reserve(texto.size());
    for (const QChar c : QStringView(texto).trimmed()) {
        if (c == u'.')
            continue;
        invariante.append(c == u',' ? QChar(u'.') : c);
    }
    auto numero = Decimal::desdeTextoInvariante(invariante);
    if (!numero)
        fallar(numerofallo::desbordamiento);
    return *numero;
}

} // namespace kestrel
