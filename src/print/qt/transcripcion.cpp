#include "print/qt/transcripcion.h"

#include <algorithm>
#include <type_traits>

#include "json/formato_numero.h"

namespace kestrel {

namespace {

QString sinBlancosFinales(const QString& texto) {
    qsizetype fin = texto.size();
    while (fin > 0 && texto[fin - 1] == QLatin1Char(' '))
        --fin;
    return texto.left(fin);
}

} // namespace

void reproducir(const DocumentoGrabado& documento, Impresora& destino) {
    for (const Operacion& op : documento.operaciones()) {
        std::visit(
            [&destino](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, operacion::Fuente>) {
                    destino.fijarNombreFuente(o.estilo.nombre);
                    destino.fijarTamanoFuente(o.estilo.puntos);
                    destino.fijarNegrita(o.estilo.negrita);
                    destino.fijarEnfasis(o.estilo.enfasis);
                } else if constexpr (std::is_same_v<T, operacion::Imprimir>) {
                    destino.imprimir(o.elementos, o.saltoLinea);
                } else {
                    destino.dibujarImagen(o.ruta, o.rect.x(), o.rect.y(), o.rect.width(), o.rect.height());
                }
            },
            op);
    }
}

QStringList transcribir(const DocumentoGrabado& documento, const QLocale& locale) {
    QStringList lineas;
    QString linea;
    bool empezada = false;
    const auto terminar = [&] {
        lineas << sinBlancosFinales(linea);
        linea.clear();
        empezada = false;
    };
    for (const Operacion& op : documento.operaciones()) {
        const auto* imprimir = std::get_if<operacion::Imprimir>(&op);
        if (!imprimir)
            continue;
        for (const ElementoLinea& e : imprimir->elementos) {
            empezada = true;
            switch (e.tipo) {
            case ElementoLinea::Tipo::Texto:
                linea += e.texto;
                break;
            case ElementoLinea::Tipo::Numero:
                linea += formato::textoImpresora(e.numero, locale);
                break;
            case ElementoLinea::Tipo::Columna: {
                const qsizetype antes = std::max(e.columna, 1) - 1;
                if (linea.size() > antes)
                    terminar();
                empezada = true;
                if (linea.size() < antes)
                    linea += QString(antes - linea.size(), QLatin1Char(' '));
                break;
            }
            }
        }
        if (imprimir->saltoLinea)
            terminar();
    }
    if (empezada)
        terminar();
    return lineas;
}

} // namespace kestrel
