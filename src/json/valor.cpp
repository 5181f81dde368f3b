#include "json/valor.h"

#include "json/fallo.h"
#include "json/formato_numero.h"

namespace kestrel {

namespace {

[[noreturn]] void fallar(int numero) {
    throw FalloPlataforma::estandar(numero);
}

} // namespace

Valor Valor::nulo() {
    Valor v;
    v.m_tipo = TipoValor::Nulo;
    return v;
}

Valor::Valor(bool b) : m_tipo(TipoValor::Booleano), m_booleano(b) {}

Valor::Valor(const QString& texto) : m_tipo(TipoValor::Texto), m_texto(texto) {}

Valor::Valor(const Decimal& numero) : m_tipo(TipoValor::Numero), m_numero(numero) {}

Valor::Valor(std::shared_ptr<Dictionary> objeto) : m_tipo(TipoValor::Objeto), m_objeto(std::move(objeto)) {
    if (!m_objeto)
        m_tipo = TipoValor::Nulo;
}

Valor::Valor(std::shared_ptr<Collection> lista) : m_tipo(TipoValor::Lista), m_lista(std::move(lista)) {
    if (!m_lista)
        m_tipo = TipoValor::Nulo;
}

QString Valor::comoTexto(const QLocale& locale) const {
    switch (m_tipo) {
    case TipoValor::Vacio:
        return {};
    case TipoValor::Texto:
        return m_texto;
    case TipoValor::Numero:
        return formato::textoPlano(m_numero, locale);
    case TipoValor::Booleano:
        return m_booleano ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case TipoValor::Nulo:
        fallar(numerofallo::usoNoValidoDeNull);
    case TipoValor::Objeto:
    case TipoValor::Lista:
        break;
    }
    fallar(numerofallo::tiposNoCoinciden);
}

Decimal Valor::comoNumero(const QLocale& locale) const {
    switch (m_tipo) {
    case TipoValor::Vacio:
        return {};
    case TipoValor::Numero:
        return m_numero;
    case TipoValor::Booleano:
        return m_booleano ? Decimal(-1) : Decimal();
    case TipoValor::Texto:
        if (auto d = formato::leerNumero(m_texto, locale))
            return *d;
        break;
    case TipoValor::Nulo:
        fallar(numerofallo::usoNoValidoDeNull);
    case TipoValor::Objeto:
    case TipoValor::Lista:
        break;
    }
    fallar(numerofallo::tiposNoCoinciden);
}

bool Valor::comoBooleano(const QLocale& locale) const {
    switch (m_tipo) {
    case TipoValor::Vacio:
    case TipoValor::Nulo:
        return false;
    case TipoValor::Booleano:
        return m_booleano;
    case TipoValor::Numero:
        return !m_numero.esCero();
    case TipoValor::Texto:
        if (m_texto.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (m_texto.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        if (auto d = formato::leerNumero(m_texto, locale))
            return !d->esCero();
        break;
    case TipoValor::Objeto:
    case TipoValor::Lista:
        break;
    }
    fallar(numerofallo::tiposNoCoinciden);
}

Dictionary& Valor::comoDictionary() const {
    if (m_tipo == TipoValor::Objeto)
        return *m_objeto;
    fallar(m_tipo == TipoValor::Lista ? numerofallo::tiposNoCoinciden : numerofallo::seRequiereObjeto);
}

Collection& Valor::comoCollection() const {
    if (m_tipo == TipoValor::Lista)
        return *m_lista;
    fallar(m_tipo == TipoValor::Objeto ? numerofallo::tiposNoCoinciden : numerofallo::seRequiereObjeto);
}

namespace {
/// Objects up to this many members are searched linearly.
constexpr qsizetype miembrosSinIndice = 12;
} // namespace

qsizetype Dictionary::indice(const QString& clave) const {
    if (m_claves.size() <= miembrosSinIndice) {
        for (qsizetype i = 0; i < m_claves.size(); ++i) {
            if (m_claves[i] == clave)
                return i;
        }
        return -1;
    }
    return m_indices.value(clave, -1);
}

void Dictionary::add(const QString& clave, const Valor& valor) {
    if (indice(clave) >= 0)
        fallar(numerofallo::claveDuplicada);
    m_claves.append(clave);
    m_valores.append(valor);
    if (m_claves.size() > miembrosSinIndice) {
        if (m_indices.isEmpty()) {
            m_indices.reserve(m_claves.size() * 2);
            for (qsizetype i = 0; i < m_claves.size(); ++i)
                m_indices.insert(m_claves[i], i);
        } else {
            m_indices.insert(clave, m_claves.size() - 1);
        }
    }
}

Valor Dictionary::item(const QString& clave) {
    const qsizetype i = indice(clave);
    if (i >= 0)
        return m_valores[i];
    add(clave, Valor());
    return {};
}

Valor Dictionary::valorSinInsertar(const QString& clave) const {
    const qsizetype i = indice(clave);
    return i >= 0 ? m_valores[i] : Valor();
}

void Dictionary::fijar(const QString& clave, const Valor& valor) {
    const qsizetype i = indice(clave);
    if (i >= 0)
        m_valores[i] = valor;
    else
        add(clave, valor);
}

const Valor& Collection::item(int i) const {
    if (i < 1 || i > m_valores.size())
        fallar(numerofallo::fueraDeIntervalo);
    return m_valores[i - 1];
}

} // namespace kestrel
