#include "json/volcado.h"

namespace kestrel {

QString escaparJson(QStringView texto) {
    QString salida;
    salida.reserve(texto.size());
    static constexpr char16_t hex[] = u"0123456789abcdef";
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto[i];
        const char16_t u = c.unicode();
        switch (u) {
        case u'"':
            salida.append(u"\\\"");
            continue;
        case u'\\':
            salida.append(u"\\\\");
            continue;
        case u'\n':
            salida.append(u"\\n");
            continue;
        case u'\r':
            salida.append(u"\\r");
            continue;
        case u'\t':
            salida.append(u"\\t");
            continue;
        case u'\b':
            salida.append(u"\\b");
            continue;
        case u'\f':
            salida.append(u"\\f");
            continue;
        default:
            break;
        }
        bool escapar = u < 0x20;
        if (c.isHighSurrogate())
            escapar = !(i + 1 < n && texto[i + 1].isLowSurrogate());
        else if (c.isLowSurrogate())
            escapar = !(i > 0 && texto[i - 1].isHighSurrogate());
        if (escapar) {
            const char16_t cifras[] = {
                u'\\', u'u', hex[(u >> 12) & 0xF], hex[(u >> 8) & 0xF], hex[(u >> 4) & 0xF], hex[u & 0xF]};
            salida.append(QStringView(cifras, 6));
        } else {
            salida.append(c);
        }
    }
    return salida;
}

namespace {

void volcarTexto(const QString& texto, QString& salida) {
    salida.append(u'"').append(escaparJson(texto)).append(u'"');
}

void volcar(const Valor& valor, QString& salida) {
    switch (valor.tipo()) {
    case TipoValor::Vacio:
        salida.append(u"vacio");
        return;
    case TipoValor::Nulo:
        salida.append(u"null");
        return;
    case TipoValor::Booleano:
        salida.append(valor.booleano() ? u"true" : u"false");
        return;
    case TipoValor::Numero:
        salida.append(valor.numero().aTexto(QLatin1Char('.')));
        return;
    case TipoValor::Texto:
        volcarTexto(valor.texto(), salida);
        return;
    case TipoValor::Objeto: {
        const Dictionary& objeto = *valor.objeto();
        salida.append(u'{');
        for (int i = 0; i < objeto.count(); ++i) {
            if (i > 0)
                salida.append(u',');
            volcarTexto(objeto.claves()[i], salida);
            salida.append(u':');
            volcar(objeto.valores()[i], salida);
        }
        salida.append(u'}');
        return;
    }
    case TipoValor::Lista: {
        const Collection& lista = *valor.lista();
        salida.append(u'[');
        for (int i = 0; i < lista.count(); ++i) {
            if (i > 0)
                salida.append(u',');
            volcar(lista.valores()[i], salida);
        }
        salida.append(u']');
        return;
    }
    }
}

} // namespace

QString volcarValor(const Valor& valor) {
    QString salida;
    volcar(valor, salida);
    return salida;
}

QString informeAnalisis(const Valor& resultado, const QString& errores) {
    QString salida = resultado.esContenedor() ? volcarValor(resultado) : QStringLiteral("nada");
    salida.append(u'\n');
    if (!errores.isEmpty()) {
        salida.append(u"errores:\n");
        QString lineas = errores;
        lineas.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        salida.append(lineas);
        if (!salida.endsWith(u'\n'))
            salida.append(u'\n');
    }
    return salida;
}

} // namespace kestrel
