#include "json/formato_numero.h"

namespace kestrel::formato {

namespace {

QString signoNegativo(const QLocale& locale) {
    const QString s = locale.negativeSign();
    return s.isEmpty() ? QStringLiteral("-") : s;
}

QChar separadorDecimal(const QLocale& locale) {
    const QString s = locale.decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s.front();
}

} // namespace

QString agruparMiles(QStringView cifras, QStringView sep) {
    QString agrupado;
    agrupado.reserve(cifras.size() + (cifras.size() / 3) * sep.size());
    for (qsizetype i = 0; i < cifras.size(); ++i) {
        if (i > 0 && (cifras.size() - i) % 3 == 0)
            agrupado += sep;
        agrupado += cifras[i];
    }
    return agrupado;
}

QString textoImporte(const Decimal& valor, const QLocale& locale) {
    const Decimal entero = valor.redondear(0, Decimal::Redondeo::MitadAlejada);
    const QString cifras = entero.abs().aTexto();
    const QString agrupado = agruparMiles(cifras, locale.groupSeparator());
    return entero.negativo() ? signoNegativo(locale) + agrupado : agrupado;
}

QString textoImpresora(const Decimal& valor, const QLocale& locale) {
    const QString plano = valor.abs().aTexto(separadorDecimal(locale));
    return (valor.negativo() ? signoNegativo(locale) : QStringLiteral(" ")) + plano + QLatin1Char(' ');
}

QString textoPlano(const Decimal& valor, const QLocale& locale) {
    const QString plano = valor.abs().aTexto(separadorDecimal(locale));
    return valor.negativo() ? signoNegativo(locale) + plano : plano;
}

std::optional<Decimal> leerNumero(const QString& texto, const QLocale& locale) {
    QString t = texto.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const QString grupo = locale.groupSeparator();
    const QChar decimal = separadorDecimal(locale);
    const QString menos = signoNegativo(locale);
    QString invariante;
    invariante.reserve(t.size());
    qsizetype i = 0;
    if (t.startsWith(menos)) {
        invariante += QLatin1Char('-');
        i = menos.size();
    } else if (t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-'))) {
        invariante += t[0];
        i = 1;
    }
    bool enEntero = true;
    bool hayCifra = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.unicode() >= '0' && c.unicode() <= '9') {
            invariante += c;
            hayCifra = true;
        } else if (enEntero && hayCifra && !grupo.isEmpty() && QStringView(t).mid(i).startsWith(grupo) &&
                   grupo != QString(decimal)) {
            // Group separators may stand anywhere between the digits of the whole part.
            i += grupo.size() - 1;
        } else if (enEntero && c == decimal) {
            invariante += QLatin1Char('.');
            enEntero = false;
        } else if (c == QLatin1Char('e') || c == QLatin1Char('E')) {
            invariante += QStringView(t).mid(i);
            break;
        } else {
            return std::nullopt;
        }
    }
    return Decimal::desdeTextoInvariante(invariante);
}

} // namespace kestrel::formato
