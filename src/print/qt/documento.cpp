#include "print/qt/documento.h"

#include <algorithm>

#include "json/formato_numero.h"

namespace kestrel {

namespace {

/// Positions within this distance count as the same column: twips are fractional here and a run that ends
/// exactly on a column must not be taken as past it.
constexpr double toleranciaColumna = 0.5;

} // namespace

DocumentoGrabado::DocumentoGrabado(QLocale locale) : m_locale(std::move(locale)) {
    m_renglones.append(Renglon{});
}

void DocumentoGrabado::fijarFuente(const EstiloFuente& estilo) {
    m_operaciones.append(operacion::Fuente{estilo});
}

void DocumentoGrabado::saltarLinea(const FuenteResuelta& fuente) {
    Renglon& actual = m_renglones.last();
    actual.alto = std::max(m_altoLinea, fuente.alto);
    m_renglones.append(Renglon{actual.y + actual.alto, 0, {}});
    m_altoLinea = 0;
    m_x = 0;
}

void DocumentoGrabado::agregarTexto(const QString& texto, const FuenteResuelta& fuente) {
    m_altoLinea = std::max(m_altoLinea, fuente.alto);
    if (texto.isEmpty())
        return;
    Renglon& actual = m_renglones.last();
    const double ancho = fuente.anchoTexto(texto);
    actual.trazos.append(TrazoTexto{fuente.fuente, QPointF(m_x, actual.y), fuente.ascenso, ancho, texto});
    m_x += ancho;
}

void DocumentoGrabado::imprimir(const Linea& elementos, bool saltoLinea, const FuenteResuelta& fuente) {
    m_operaciones.append(operacion::Imprimir{elementos, saltoLinea});
    m_vacio = false;
    for (const ElementoLinea& e : elementos) {
        switch (e.tipo) {
        case ElementoLinea::Tipo::Texto:
            agregarTexto(e.texto, fuente);
            break;
        case ElementoLinea::Tipo::Numero:
            agregarTexto(formato::textoImpresora(e.numero, m_locale), fuente);
            break;
        case ElementoLinea::Tipo::Columna: {
            const double destino = std::max(e.columna - 1, 0) * fuente.anchoColumna;
            if (m_x > destino + toleranciaColumna)
                saltarLinea(fuente);
            m_altoLinea = std::max(m_altoLinea, fuente.alto);
            m_x = destino;
            break;
        }
        }
    }
    if (saltoLinea)
        saltarLinea(fuente);
}

void DocumentoGrabado::dibujarImagen(const QString& ruta, const QImage& imagen, const QRectF& rect) {
    m_operaciones.append(operacion::Imagen{ruta, rect});
    m_vacio = false;
    m_imagenes.append(ImagenColocada{imagen, static_cast<int>(m_renglones.size()) - 1, rect});
}

double DocumentoGrabado::altoTexto() const {
    const Renglon& ultimo = m_renglones.last();
    if (!ultimo.trazos.isEmpty() || m_altoLinea > 0)
        return ultimo.y + std::max(ultimo.alto, m_altoLinea);
    return ultimo.y;
}

double DocumentoGrabado::anchoOcupado() const {
    double ancho = 0;
    for (const Renglon& r : m_renglones) {
        for (const TrazoTexto& t : r.trazos)
            ancho = std::max(ancho, t.posicion.x() + t.ancho);
    }
    for (const ImagenColocada& i : m_imagenes)
        ancho = std::max(ancho, i.rect.right());
    return ancho;
}

} // namespace kestrel
