#include "app/despachador.h"

#include <exception>

#include "json/fallo.h"
#include "json/json.h"
#include "print/documentos.h"

namespace kestrel {

Despachador::Despachador(Documentos& documentos, std::function<void(const QString&)> agregarLog)
    : m_documentos(documentos), m_agregarLog(std::move(agregarLog)) {}

void Despachador::procesarMensaje(const QString& mensaje) {
    m_agregarLog(QStringLiteral("Respuesta: ") + mensaje);
    m_agregarLog(QStringLiteral("--"));
    m_tipo.clear();
    // Whatever a document raises ends this message only: the link still resets the busy flag and answers.
    try {
        despachar(mensaje);
    } catch (const FalloPlataforma& f) {
        m_agregarLog(QStringLiteral("Error al procesar el mensaje: %1-%2").arg(f.numero()).arg(f.descripcion()));
    } catch (const std::exception& e) {
        m_agregarLog(QStringLiteral("Error al procesar el mensaje: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        m_agregarLog(QStringLiteral("Error al procesar el mensaje: fallo desconocido"));
    }
    if (m_alContar)
        m_alContar(m_tipo.isEmpty() ? QStringLiteral("desconocido") : m_tipo);
}

const QStringList& Despachador::tiposConocidos() {
    static const QStringList tipos{QStringLiteral("comanda"), QStringLiteral("anulacion"), QStringLiteral("factura"),
                                   QStringLiteral("cajon")};
    return tipos;
}

void Despachador::despachar(const QString& mensaje) {
    Valor raiz = jsonParse(mensaje);
    const QString errores = jsonErrors();
    if (!errores.isEmpty()) {
        m_agregarLog(errores);
        return;
    }
    // A top-level list has no members to read: comoDictionary raises and the message ends here.
    Dictionary& sobre = raiz.comoDictionary();
    const Valor config = sobre.item(QStringLiteral("config"));
    if (!config.esContenedor())
        m_agregarLog(QStringLiteral("El mensaje no trae \"config\" como objeto o lista"));
    m_documentos.fijarConfiguracion(config);

    Valor dato = sobre.item(QStringLiteral("dato"));
    const Valor valorTipo = sobre.item(QStringLiteral("tipo"));
    const QString tipo = valorTipo.esTexto() ? valorTipo.texto() : QString();

    const bool conLista = tipo == QLatin1String("comanda") || tipo == QLatin1String("anulacion");
    if (!tiposConocidos().contains(tipo))
        return;
    m_tipo = tipo;
    if (conLista && !dato.esLista()) {
        m_agregarLog(
            QStringLiteral("El mensaje de tipo \"%1\" no trae una lista en \"dato\": no se imprime").arg(tipo));
        return;
    }
    if (tipo == QLatin1String("comanda"))
        m_documentos.imprimirComanda(dato.comoCollection());
    else if (tipo == QLatin1String("factura"))
        m_documentos.imprimirFactura(dato);
    else if (tipo == QLatin1String("anulacion"))
        m_documentos.imprimirAnulacion(dato.comoCollection());
    else
        m_documentos.abrirCajon();
}

} // namespace kestrel
