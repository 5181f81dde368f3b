#include "json/json.h"

#include <QStringList>

#include "json/fallo.h"

namespace kestrel {

namespace {

// The error text of the last parse. Parses on one thread run one at a time; per thread so that a parse in a
// test or a tool thread never mixes with the window's.
thread_local QString erroresJson;

const QString finEntrada = QStringLiteral("\r\n");

/// The character at a 1-based position; 0 beyond either end, which equals none of the characters the
/// readers look for, as the empty text does.
inline char16_t caracter(const QString& texto, qsizetype posicion) {
    return posicion >= 1 && posicion <= texto.size() ? texto.constData()[posicion - 1].unicode() : 0;
}

/// The text from a 1-based position on (empty beyond the end), at most `largo` characters (-1: all).
inline QStringView desde(const QString& texto, qsizetype posicion, qsizetype largo = -1) {
    if (posicion < 1 || posicion > texto.size())
        return {};
    const QStringView resto = QStringView(texto).mid(posicion - 1);
    return largo < 0 ? resto : resto.left(largo);
}

void anotar(QStringView a, QStringView b = {}, QStringView c = {}, QStringView d = {}) {
    erroresJson.append(a).append(b).append(c).append(d).append(finEntrada);
}

void anotarEnPosicion(QStringView titulo, qsizetype posicion, QStringView detalle) {
    anotar(titulo, QString::number(posicion), u" : ", detalle);
}

/// Stops the whole parse once the error text has grown past its bound (see jsonErroresMaximos).
bool demasiadosErrores(qsizetype posicion, EstadoJson& estado) {
    if (erroresJson.size() <= jsonErroresMaximos)
        return false;
    anotar(u"Too many errors at position ", QString::number(posicion));
    estado.detenido = true;
    return true;
}

/// Counts one open container for as long as its reader runs.
class Nivel {
public:
    explicit Nivel(EstadoJson& estado) : m_estado(estado) { ++m_estado.profundidad; }
    ~Nivel() { --m_estado.profundidad; }
    Nivel(const Nivel&) = delete;
    Nivel& operator=(const Nivel&) = delete;

private:
    EstadoJson& m_estado;
};

/// A hostile message could nest deep enough to overflow the stack; past the bound the parse ends.
bool demasiadoProfundo(qsizetype posicion, EstadoJson& estado) {
    if (estado.profundidad < jsonProfundidadMaxima)
        return false;
    anotar(u"Nesting deeper than ", QString::number(jsonProfundidadMaxima), u" levels at position ",
           QString::number(posicion));
    estado.detenido = true;
    return true;
}

void registrarFallo(EstadoJson& estado, const FalloPlataforma& fallo) {
    estado.hayFallo = true;
    estado.descripcionFallo = fallo.descripcion();
}

/// Names kept for sharing in one parse; enough for any message of the service, bounded against hostile ones.
constexpr qsizetype clavesCompartidasMaximas = 1024;

/// The member name of the usual form, "name" then ":", with no blank, quote or colon inside, read at once and
/// shared with the earlier members of the same name. Any other form goes to jsonReadKey, which gives the same
/// name for this one.
QString leerClave(const QString& texto, qsizetype& posicion, EstadoJson& estado) {
    const QChar* datos = texto.constData();
    const qsizetype n = texto.size();
    if (posicion >= 1 && posicion <= n && datos[posicion - 1] == u'"') {
        qsizetype cierre = posicion + 1;
        while (cierre <= n) {
            const char16_t c = datos[cierre - 1].unicode();
            if (c == u'"' || c == u'\'' || c == u':' || c == u'\r' || c == u'\n' || c == u'\t' || c == u' ')
                break;
            ++cierre;
        }
        if (cierre <= n && datos[cierre - 1] == u'"') {
            qsizetype dosPuntos = cierre + 1;
            jsonSkip(texto, dosPuntos);
            if (dosPuntos <= n && datos[dosPuntos - 1] == u':') {
                const QStringView nombre(datos + posicion, cierre - posicion - 1);
                posicion = dosPuntos + 1;
                const auto it = estado.claves.constFind(nombre);
                if (it != estado.claves.constEnd())
                    return *it;
                QString clave = nombre.toString();
                if (estado.claves.size() < clavesCompartidasMaximas)
                    estado.claves.insert(nombre, clave);
                return clave;
            }
        }
    }
    return jsonReadKey(texto, posicion);
}

} // namespace

QString jsonErrors() {
    return erroresJson;
}

Valor jsonParse(const QString& texto) {
    erroresJson = QString();
    EstadoJson estado;
    qsizetype posicion = 1;
    jsonSkip(texto, posicion);
    switch (caracter(texto, posicion)) {
    case u'{':
        return Valor(jsonReadObject(texto, posicion, estado));
    case u'[':
        return Valor(jsonReadArray(texto, posicion, estado));
    default:
        erroresJson = QStringLiteral("Invalid JSON");
        return {};
    }
}

void jsonSkip(const QString& texto, qsizetype& posicion) {
    bool pendiente = false;
    bool enComentario = false;
    bool enBloque = false;
    const QChar* datos = texto.constData();
    const qsizetype n = texto.size();
    while (posicion >= 1 && posicion <= n) {
        switch (datos[posicion - 1].unicode()) {
        case u'\r':
        case u'\n':
            if (!enBloque) {
                pendiente = false;
                enComentario = false;
            }
            break;
        case u'\t':
        case u' ':
        case u'(':
        case u')':
            break;
        case u'/':
            if (enBloque) {
                if (pendiente) {
                    enBloque = false;
                    pendiente = false;
                    enComentario = false;
                }
            } else if (pendiente) {
                pendiente = false;
                enComentario = true;
            } else {
                pendiente = true;
                enComentario = false;
                enBloque = false;
            }
            break;
        case u'*':
            if (pendiente) {
                pendiente = false;
                enComentario = true;
                enBloque = true;
            } else {
                pendiente = true;
            }
            break;
        default:
            if (!enComentario)
                return;
            break;
        }
        ++posicion;
    }
}

Valor jsonReadValue(const QString& texto, qsizetype& posicion, EstadoJson& estado) {
    jsonSkip(texto, posicion);
    switch (caracter(texto, posicion)) {
    case u'{':
        return Valor(jsonReadObject(texto, posicion, estado));
    case u'[':
        return Valor(jsonReadArray(texto, posicion, estado));
    case u'"':
    case u'\'':
        return Valor(jsonReadString(texto, posicion, estado.cadena));
    case u't':
    case u'f':
        return Valor(jsonReadBoolean(texto, posicion));
    case u'n':
        return jsonReadNull(texto, posicion);
    default:
        return Valor(jsonReadNumber(texto, posicion));
    }
}

std::shared_ptr<Dictionary> jsonReadObject(const QString& texto, qsizetype& posicion, EstadoJson& estado) {
    auto objeto = std::make_shared<Dictionary>();
    jsonSkip(texto, posicion);
    if (caracter(texto, posicion) != u'{') {
        anotarEnPosicion(u"Invalid Object at position ", posicion, desde(texto, posicion));
        return objeto;
    }
    if (demasiadoProfundo(posicion, estado))
        return objeto;
    const Nivel nivel(estado);
    ++posicion;
    for (;;) {
        jsonSkip(texto, posicion);
        const char16_t c = caracter(texto, posicion);
        if (c == u'}') {
            ++posicion;
            return objeto;
        }
        if (c == u',') {
            ++posicion;
            jsonSkip(texto, posicion);
        }
        if (posicion > texto.size()) {
            anotar(u"Missing '}': ", QStringView(texto).right(20));
            return objeto;
        }
        const QString clave = leerClave(texto, posicion, estado);
        estado.hayFallo = false;
        try {
            objeto->add(clave, jsonReadValue(texto, posicion, estado));
        } catch (const FalloPlataforma& fallo) {
            registrarFallo(estado, fallo);
        }
        if (estado.detenido)
            return objeto;
        if (estado.hayFallo) {
            anotar(estado.descripcionFallo, u": ", clave);
            return objeto;
        }
        if (demasiadosErrores(posicion, estado))
            return objeto;
    }
}

std::shared_ptr<Collection> jsonReadArray(const QString& texto, qsizetype& posicion, EstadoJson& estado) {
    auto lista = std::make_shared<Collection>();
    jsonSkip(texto, posicion);
    if (caracter(texto, posicion) != u'[') {
        anotarEnPosicion(u"Invalid Array at position ", posicion, desde(texto, posicion, 20));
        return lista;
    }
    if (demasiadoProfundo(posicion, estado))
        return lista;
    const Nivel nivel(estado);
    ++posicion;
    for (;;) {
        jsonSkip(texto, posicion);
        const char16_t c = caracter(texto, posicion);
        if (c == u']') {
            ++posicion;
            return lista;
        }
        if (c == u',') {
            ++posicion;
            jsonSkip(texto, posicion);
        }
        if (posicion > texto.size()) {
            anotar(u"Missing ']': ", QStringView(texto).right(20));
            return lista;
        }
        const qsizetype antes = posicion;
        estado.hayFallo = false;
        try {
            lista->add(jsonReadValue(texto, posicion, estado));
        } catch (const FalloPlataforma& fallo) {
            registrarFallo(estado, fallo);
        }
        if (estado.detenido)
            return lista;
        if (estado.hayFallo) {
            anotar(estado.descripcionFallo, u": ", desde(texto, posicion, 20));
            return lista;
        }
        // A bad "true", "false" or "null" is reported but not consumed; reading on from the same place
        // would meet it again forever. Its entry stands once and the parse ends here.
        if (posicion == antes) {
            estado.detenido = true;
            return lista;
        }
        if (demasiadosErrores(posicion, estado))
            return lista;
    }
}

QString jsonReadKey(const QString& texto, qsizetype& posicion) {
    jsonSkip(texto, posicion);
    QString clave;
    bool entreComillas = false;
    bool entreApostrofos = false;
    const QChar* datos = texto.constData();
    const qsizetype n = texto.size();
    auto cierre = [&]() {
        jsonSkip(texto, posicion);
        if (caracter(texto, posicion) == u':')
            return true;
        anotarEnPosicion(u"Invalid Key at position ", posicion, clave);
        return false;
    };
    while (posicion >= 1 && posicion <= n) {
        switch (datos[posicion - 1].unicode()) {
        case u'"':
            entreComillas = !entreComillas;
            ++posicion;
            if (!entreComillas && !cierre())
                return clave;
            break;
        case u'\'':
            entreApostrofos = !entreApostrofos;
            ++posicion;
            if (!entreApostrofos && !cierre())
                return clave;
            break;
        case u':':
            ++posicion;
            if (!entreComillas && !entreApostrofos)
                return clave;
            clave.append(u':');
            break;
        case u'\r':
        case u'\n':
        case u'\t':
        case u' ':
            ++posicion;
            break;
        default: {
            // Ordinary characters come in runs; take each run at once.
            const qsizetype inicio = posicion;
            while (posicion <= n) {
                const char16_t c = datos[posicion - 1].unicode();
                if (c == u'"' || c == u'\'' || c == u':' || c == u'\r' || c == u'\n' || c == u'\t' || c == u' ')
                    break;
                ++posicion;
            }
            clave.append(QStringView(datos + inicio - 1, posicion - inicio));
            break;
        }
        }
    }
    return clave;
}

QString jsonReadString(const QString& texto, qsizetype& posicion, cStringBuilder& cadena) {
    jsonSkip(texto, posicion);
    const char16_t marca = caracter(texto, posicion);
    ++posicion;
    const QChar* datos = texto.constData();
    const qsizetype n = texto.size();
    if (posicion < 1 || posicion > n)
        return {};
    auto finDeTramo = [&](qsizetype p) {
        while (p <= n) {
            const char16_t c = datos[p - 1].unicode();
            if (c == marca || c == u'\\')
                break;
            ++p;
        }
        return p;
    };
    // Most strings hold no escape: they are copied once, straight from the message.
    qsizetype fin = finDeTramo(posicion);
    if (fin <= n && datos[fin - 1].unicode() == marca) {
        QString directo(datos + posicion - 1, fin - posicion);
        posicion = fin + 1;
        return directo;
    }
    cadena.Remove(0, cadena.Length());
    while (posicion >= 1 && posicion <= n) {
        fin = finDeTramo(posicion);
        if (fin > posicion) {
            cadena.Append(QStringView(datos + posicion - 1, fin - posicion));
            posicion = fin;
            continue;
        }
        if (datos[posicion - 1].unicode() == marca) {
            ++posicion;
            return cadena.toString();
        }
        ++posicion;
        switch (caracter(texto, posicion)) {
        case u'"':
        case u'\\':
        case u'/':
        case u'\'':
            cadena.Append(datos[posicion - 1]);
            ++posicion;
            break;
        case u'b':
            cadena.Append(QChar(8));
            ++posicion;
            break;
        case u'f':
            cadena.Append(QChar(12));
            ++posicion;
            break;
        case u'n':
            cadena.Append(QChar(10));
            ++posicion;
            break;
        case u'r':
            cadena.Append(QChar(13));
            ++posicion;
            break;
        case u't':
            cadena.Append(QChar(9));
            ++posicion;
            break;
        case u'u': {
            ++posicion;
            // The value of the leading hexadecimal digits of the next four characters (0 when none); the
            // four are consumed whatever they are.
            char16_t unidad = 0;
            for (const QChar c : desde(texto, posicion, 4)) {
                const char16_t u = c.unicode();
                int cifra = -1;
                if (u >= u'0' && u <= u'9')
                    cifra = u - u'0';
                else if (u >= u'a' && u <= u'f')
                    cifra = u - u'a' + 10;
                else if (u >= u'A' && u <= u'F')
                    cifra = u - u'A' + 10;
                if (cifra < 0)
                    break;
                unidad = static_cast<char16_t>(unidad * 16 + cifra);
            }
            cadena.Append(QChar(unidad));
            posicion += 4;
            break;
        }
        default:
            // Backslash and any other character: the character stays to be read as an ordinary one.
            break;
        }
    }
    return cadena.toString();
}

Decimal jsonReadNumber(const QString& texto, qsizetype& posicion) {
    jsonSkip(texto, posicion);
    const qsizetype inicio = posicion;
    const QChar* datos = texto.constData();
    while (posicion >= 1 && posicion <= texto.size() && esCaracterNumero(datos[posicion - 1].unicode()))
        ++posicion;
    const QStringView numero = desde(texto, inicio, posicion - inicio);
    if (auto sencillo = numeroSencillo(numero))
        return *sencillo;
    return convertirDecimalServicio(formatearDecimal(Valor(numero.toString()), 2));
}

bool jsonReadBoolean(const QString& texto, qsizetype& posicion) {
    jsonSkip(texto, posicion);
    const QStringView resto = desde(texto, posicion);
    if (resto.startsWith(u"true")) {
        posicion += 4;
        return true;
    }
    if (resto.startsWith(u"false")) {
        posicion += 5;
        return false;
    }
    anotarEnPosicion(u"Invalid Boolean at position ", posicion, resto);
    return false;
}

Valor jsonReadNull(const QString& texto, qsizetype& posicion) {
    jsonSkip(texto, posicion);
    const QStringView resto = desde(texto, posicion);
    if (resto.startsWith(u"null")) {
        posicion += 4;
        return Valor::nulo();
    }
    anotarEnPosicion(u"Invalid null value at position ", posicion, resto);
    return {};
}

} // namespace kestrel
