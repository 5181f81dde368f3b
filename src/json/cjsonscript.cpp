#include "json/cjsonscript.h"

#include "json/cstringbuilder.h"
#include "json/dialogos_script.h"
#include "json/fallo.h"
#include "json/json.h"

namespace kestrel {

namespace {

/// 41 evaluations may be in progress; the 42nd nested one gives the error text instead of its output.
constexpr std::int32_t nivelMaximo = 40;

const QString errorAnidamiento = QStringLiteral("ERROR: Nesting level exceeded.");

/// Counts one evaluation for as long as it runs, also when a failure leaves it: a level left raised would make
/// every later script on the same evaluator start deeper until even a correct one hits the limit.
class Nivel {
public:
    explicit Nivel(std::int32_t& nivel) : m_nivel(nivel) { ++m_nivel; }
    ~Nivel() { --m_nivel; }
    Nivel(const Nivel&) = delete;
    Nivel& operator=(const Nivel&) = delete;

private:
    std::int32_t& m_nivel;
};

/// A value taken as it stands (a case, a type, a variable name, a placeholder argument), written as the
/// evaluator writes values: numbers with "." on every machine. A list or an object is not a text.
QString textoDe(const Valor& valor) {
    switch (valor.tipo()) {
    case TipoValor::Vacio:
        return {};
    case TipoValor::Nulo:
        return QStringLiteral("null");
    case TipoValor::Booleano:
        return valor.booleano() ? QStringLiteral("true") : QStringLiteral("false");
    case TipoValor::Texto:
        return valor.texto();
    case TipoValor::Numero:
        return valor.numero().aTexto(QLatin1Char('.'));
    case TipoValor::Objeto:
    case TipoValor::Lista:
        break;
    }
    throw FalloPlataforma::estandar(numerofallo::tiposNoCoinciden);
}

} // namespace

cJSONScript::cJSONScript(DialogosScript& dialogos) : m_dialogos(dialogos) {}

Dictionary& cJSONScript::variables() {
    if (!m_variables)
        m_variables = std::make_shared<Dictionary>();
    return *m_variables;
}

QString cJSONScript::Eval(const QString& sJSON) {
    const Valor raiz = jsonParse(sJSON);
    const QString errores = jsonErrors();
    if (!errores.isEmpty() || !raiz.esContenedor()) {
        m_dialogos.mensaje(errores, IconoDialogo::Exclamacion, QStringLiteral("Parser Error"));
        return {};
    }
    if (raiz.esObjeto())
        return ExecCommand(raiz);
    cStringBuilder salida;
    const Collection& script = raiz.comoCollection();
    const int elementos = script.count();
    for (int i = 1; i <= elementos; ++i) {
        const Valor& elemento = script.item(i);
        if (elemento.esNulo())
            salida.Append(QStringLiteral("null"));
        else if (elemento.esTexto())
            salida.Append(elemento.texto());
        else if (elemento.esContenedor())
            salida.Append(ExecCommand(elemento));
        else
            throw FalloPlataforma::estandar(numerofallo::seRequiereObjeto);
    }
    return salida.toString();
}

QString cJSONScript::ExecCommand(const Valor& obj) {
    if (m_nivel > nivelMaximo)
        return errorAnidamiento;
    const Nivel nivel(m_nivel);
    cStringBuilder salida;
    switch (obj.tipo()) {
    case TipoValor::Vacio:
        break;
    case TipoValor::Nulo:
    case TipoValor::Booleano:
    case TipoValor::Texto:
    case TipoValor::Numero:
        salida.Append(textoDe(obj));
        break;
    case TipoValor::Lista:
        for (const Valor& elemento : obj.comoCollection().valores())
            salida.Append(ExecCommand(elemento));
        break;
    case TipoValor::Objeto:
        salida.Append(ejecutarObjeto(obj.comoDictionary()));
        break;
    }
    return salida.toString();
}

QString cJSONScript::ejecutarObjeto(Dictionary& comando) {
    cStringBuilder salida;
    // Reading an absent argument adds it to its own object, never to this one; the count is fixed anyway.
    const int miembros = comando.count();
    for (int i = 0; i < miembros; ++i) {
        const QString nombre = comando.claves()[i];
        const Valor valor = comando.valores()[i];
        salida.Append(ejecutarMiembro(nombre, valor));
    }
    return salida.toString();
}

QString cJSONScript::ejecutarMiembro(const QString& nombre, const Valor& valor) {
    const QString orden = nombre.toLower();
    const bool esTexto = valor.esTexto();
    auto argumento = [&](const char* clave) { return valor.comoDictionary().item(QString::fromLatin1(clave)); };

    if (orden == u"alert") {
        // With a text, the text is the message.
        if (esTexto) {
            m_dialogos.mensaje(valor.texto(), IconoDialogo::Informacion, QString());
            return {};
        }
        const QString mensaje = ExecCommand(argumento("message"));
        const QString titulo = ExecCommand(argumento("title"));
        m_dialogos.mensaje(mensaje, IconoDialogo::Informacion, titulo);
        return {};
    }
    if (orden == u"input") {
        // With a text, the text is the question.
        if (esTexto)
            return m_dialogos.entrada(valor.texto(), QString(), QString());
        const QString pregunta = ExecCommand(argumento("prompt"));
        const QString titulo = ExecCommand(argumento("title"));
        const QString porOmision = ExecCommand(argumento("default"));
        return m_dialogos.entrada(pregunta, titulo, porOmision);
    }
    if (orden == u"switch") {
        if (esTexto)
            return {};
        // The default goes first, so that its input boxes are shown even when a case matches.
        QString elegido = ExecCommand(argumento("default"));
        const QString caso = ExecCommand(argumento("case")).toLower();
        const Collection& items = argumento("items").comoCollection();
        for (int i = 1; i <= items.count(); ++i) {
            Dictionary& item = items.item(i).comoDictionary();
            if (textoDe(item.item(QStringLiteral("case"))).toLower() == caso) {
                elegido = ExecCommand(item.item(QStringLiteral("return")));
                break;
            }
        }
        return elegido;
    }
    if (orden == u"set") {
        if (esTexto)
            return {};
        Dictionary& vars = variables();
        const Valor guardado(ExecCommand(argumento("value")));
        vars.fijar(textoDe(argumento("name")), guardado);
        return {};
    }
    if (orden == u"get") {
        // With a text, the text is the name and there is no default.
        const QString variable = esTexto ? valor.texto() : textoDe(argumento("name"));
        QString resultado = ExecCommand(variables().item(variable));
        if (resultado.isEmpty() && !esTexto)
            resultado = ExecCommand(argumento("default"));
        return resultado;
    }
    if (orden == u"if") {
        if (esTexto)
            return {};
        const QString valor1 = ExecCommand(argumento("value1"));
        const QString valor2 = ExecCommand(argumento("value2"));
        const QString tipo = textoDe(argumento("type")).toLower();
        // The comparisons are of texts, code unit by code unit: "10" is less than "9".
        bool resultado = false;
        if (tipo == u"eq")
            resultado = valor1.compare(valor2, Qt::CaseInsensitive) == 0;
        else if (tipo == u"gt")
            resultado = valor1 > valor2;
        else if (tipo == u"lt")
            resultado = valor1 < valor2;
        else if (tipo == u"gte")
            resultado = valor1 >= valor2;
        else if (tipo == u"lte")
            resultado = valor1 <= valor2;
        return ExecCommand(argumento(resultado ? "true" : "false"));
    }
    if (orden == u"return")
        return textoDe(valor);

    QString argumentos;
    if (esTexto) {
        argumentos = valor.texto();
    } else if (valor.esObjeto()) {
        QStringList textos;
        for (const Valor& v : valor.comoDictionary().valores())
            textos << textoDe(v);
        argumentos = textos.join(QLatin1Char(','));
    }
    return QStringLiteral("<%") + nombre.toUpper() + QLatin1Char('(') + argumentos + QStringLiteral(")%>");
}

} // namespace kestrel
