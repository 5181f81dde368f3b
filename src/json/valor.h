#pragma once

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>

#include <memory>

#include "json/decimal.h"

namespace kestrel {

class Dictionary;
class Collection;

enum class TipoValor {
    Vacio,
    Nulo,
    Booleano,
    Texto,
    Numero,
    Objeto,
    Lista,
};

/// One parsed JSON value. Containers are held by reference (shared), so copying a value that holds an
/// object copies the reference, as the documents expect when they read nested members.
///
/// The empty value is what an absent member reads as: it is not null, reads as "" when taken as text and as
/// 0 when taken as a number. Reading a value as a kind it cannot be taken as raises a FalloPlataforma.
class Valor {
public:
    Valor() = default; ///< the empty value
    static Valor nulo();
    Valor(bool b);               // NOLINT(google-explicit-constructor)
    Valor(const QString& texto); // NOLINT(google-explicit-constructor)
    Valor(const char16_t* texto) : Valor(QString::fromUtf16(texto)) {}
    Valor(const Decimal& numero);              // NOLINT(google-explicit-constructor)
    Valor(std::shared_ptr<Dictionary> objeto); // NOLINT(google-explicit-constructor)
    Valor(std::shared_ptr<Collection> lista);  // NOLINT(google-explicit-constructor)

    TipoValor tipo() const { return m_tipo; }
    bool esVacio() const { return m_tipo == TipoValor::Vacio; }
    bool esNulo() const { return m_tipo == TipoValor::Nulo; }
    bool esBooleano() const { return m_tipo == TipoValor::Booleano; }
    bool esTexto() const { return m_tipo == TipoValor::Texto; }
    bool esNumero() const { return m_tipo == TipoValor::Numero; }
    bool esObjeto() const { return m_tipo == TipoValor::Objeto; }
    bool esLista() const { return m_tipo == TipoValor::Lista; }
    bool esContenedor() const { return esObjeto() || esLista(); }

    /// Text form: empty -> "", text -> itself, number -> its plain text in the locale (no grouping, "12,5"
    /// under es_CO), boolean -> "Verdadero"/"Falso". Null and containers raise the platform failure.
    QString comoTexto(const QLocale& locale = QLocale()) const;
    /// Number form: empty -> 0, number -> itself, boolean -> -1/0, text -> read with the locale's number
    /// format (a text that is not a number raises "No coinciden los tipos"). Null and containers raise.
    Decimal comoNumero(const QLocale& locale = QLocale()) const;
    /// Truth value: true, or a number other than 0. False, 0, empty and null count as false. A text that is
    /// "true"/"false" (any case) or a number reads as such; any other text raises.
    bool comoBooleano(const QLocale& locale = QLocale()) const;
    /// The object held; any other kind raises "Se requiere un objeto" (a list raises "No coinciden los tipos").
    Dictionary& comoDictionary() const;
    /// The list held; any other kind raises as comoDictionary does.
    Collection& comoCollection() const;

    std::shared_ptr<Dictionary> objeto() const { return m_objeto; }
    std::shared_ptr<Collection> lista() const { return m_lista; }
    bool booleano() const { return m_booleano; }
    const QString& texto() const { return m_texto; }
    const Decimal& numero() const { return m_numero; }

private:
    TipoValor m_tipo = TipoValor::Vacio;
    bool m_booleano = false;
    QString m_texto;
    Decimal m_numero;
    std::shared_ptr<Dictionary> m_objeto;
    std::shared_ptr<Collection> m_lista;
};

/// A JSON object: exact keys, insertion order. Reading an absent key inserts it with the empty value, which
/// is how every document reads optional members.
class Dictionary {
public:
    /// Adds a member; a present key raises the duplicate-key failure and keeps the first value.
    void add(const QString& clave, const Valor& valor);
    /// Reads a member; an absent key is inserted with the empty value and that value is returned.
    Valor item(const QString& clave);
    /// Reads without inserting (empty value for an absent key).
    Valor valorSinInsertar(const QString& clave) const;
    /// Replaces or inserts.
    void fijar(const QString& clave, const Valor& valor);
    bool existe(const QString& clave) const { return indice(clave) >= 0; }
    int count() const { return static_cast<int>(m_claves.size()); }
    const QList<QString>& claves() const { return m_claves; }
    const QList<Valor>& valores() const { return m_valores; }

private:
    /// Position of a key, or -1.
    qsizetype indice(const QString& clave) const;

    QList<QString> m_claves;
    QList<Valor> m_valores;
    /// Built only once the object is large: most objects of a message have a handful of members, which a
    /// linear search finds faster than a hash and without its allocation.
    QHash<QString, qsizetype> m_indices;
};

/// A JSON array, indexed from 1.
class Collection {
public:
    void add(const Valor& valor) { m_valores.append(valor); }
    /// Element i (1-based); outside 1..count raises "Subíndice fuera del intervalo" (9).
    const Valor& item(int i) const;
    int count() const { return static_cast<int>(m_valores.size()); }
    const QList<Valor>& valores() const { return m_valores; }

private:
    QList<Valor> m_valores;
};

} // namespace kestrel

// A value holds no pointer into itself, so lists may move it with realloc.
Q_DECLARE_TYPEINFO(kestrel::Valor, Q_RELOCATABLE_TYPE);
