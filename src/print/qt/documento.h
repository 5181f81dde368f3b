#pragma once

#include <QImage>
#include <QList>
#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <variant>

#include "print/impresora.h"
#include "print/qt/fuentes.h"

namespace kestrel {

/// A run of text set in one font, its top-left corner in twips from the top of the document.
struct TrazoTexto {
    QFont fuente;
    QPointF posicion;
    /// Distance from the top of the run to its baseline.
    double ascenso = 0;
    double ancho = 0;
    QString texto;
};

/// One printed line: where it starts, how far it advances the paper, and what it holds.
struct Renglon {
    double y = 0;
    double alto = 0;
    QList<TrazoTexto> trazos;
};

/// A picture as the document placed it: relative to the top of the page its anchor line lands on, the way a
/// printer places a picture on the current page.
struct ImagenColocada {
    QImage imagen;
    int renglon = 0;
    QRectF rect;
};

/// The calls a document made, in order, so another printer (the text view) can replay them.
namespace operacion {
struct Fuente {
    EstiloFuente estilo;
};
struct Imprimir {
    Linea elementos;
    bool saltoLinea = true;
};
struct Imagen {
    QString ruta;
    QRectF rect;
};
} // namespace operacion
using Operacion = std::variant<operacion::Fuente, operacion::Imprimir, operacion::Imagen>;

/// One document laid out the way a line printer lays it out, in twips: the print position moves right with
/// every item, a column moves it to (n - 1) average character widths (to the next line when it is already
/// past), and a line break moves it down by the height of the line. Nothing is drawn here: the document is
/// painted at its end, once its length is known, which is also what lets a failed document vanish whole.
class DocumentoGrabado {
public:
    explicit DocumentoGrabado(QLocale locale = QLocale());

    /// The font later items are set in; recorded so a replay sees the same sizes.
    void fijarFuente(const EstiloFuente& estilo);
    void imprimir(const Linea& elementos, bool saltoLinea, const FuenteResuelta& fuente);
    void dibujarImagen(const QString& ruta, const QImage& imagen, const QRectF& rect);

    /// True while nothing was printed or drawn (font changes alone do not make a job).
    bool vacio() const { return m_vacio; }
    /// Lines with their positions; the last one may still be open.
    const QList<Renglon>& renglones() const { return m_renglones; }
    const QList<ImagenColocada>& imagenes() const { return m_imagenes; }
    const QList<Operacion>& operaciones() const { return m_operaciones; }
    /// Where the paper stands after the last line (the open one counts when it holds text).
    double altoTexto() const;
    /// Right edge of the widest line, in twips.
    double anchoOcupado() const;

private:
    void saltarLinea(const FuenteResuelta& fuente);
    void agregarTexto(const QString& texto, const FuenteResuelta& fuente);

    QLocale m_locale;
    QList<Renglon> m_renglones;
    QList<ImagenColocada> m_imagenes;
    QList<Operacion> m_operaciones;
    /// Tallest font used on the open line.
    double m_altoLinea = 0;
    double m_x = 0;
    bool m_vacio = true;
};

} // namespace kestrel
