#include "print/qt/transcripcion.h"

#include <type_traits>

#include "print/vista_texto.h"

namespace kestrel {

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
    // The text-view printer itself writes the transcript, so the files beside the PDFs follow exactly the
    // rules of the preview and the golden receipts.
    ImpresoraVistaTexto vista(QString(), locale);
    // The picture was read when it was drawn; the transcript only needs to know that there was one.
    vista.fijarMedidorImagenes([](const QString&) { return QSize(); });
    reproducir(documento, vista);
    vista.finDocumento();
    return vista.documentos().isEmpty() ? QStringList() : vista.documentos().constLast().texto(false);
}

} // namespace kestrel
