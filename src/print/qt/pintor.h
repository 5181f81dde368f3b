#pragma once

#include <QIODevice>
#include <QList>
#include <QPainter>
#include <QString>

#include <functional>

#include "print/qt/documento.h"

class QPrinter;

namespace kestrel {

/// The lines [desde, hasta) of a document that share one page, and where that page starts on the roll.
struct PaginaDocumento {
    int desde = 0;
    int hasta = 0;
    double arriba = 0;
};

/// Cuts a document into pages of altoPagina twips: a line that would cross the bottom of a page starts the
/// next one (a line taller than a whole page gets a page of its own).
QList<PaginaDocumento> paginar(const DocumentoGrabado& documento, double altoPagina);

/// Where and how a document is painted: the device's resolution, the top-left corner of the printable area
/// in device units, the height of a page in twips, and how to start the next page.
struct LienzoPagina {
    double puntosPorPulgada = twipsPorPulgada;
    QPointF origen;
    double altoPagina = 0;
    /// Starts a new page; false when the device refuses.
    std::function<bool()> nuevaPagina;
};

/// Paints a document page by page with the same code for paper and PDF. Raises a printer failure when the
/// device cannot start a page.
void pintarDocumento(QPainter& pintor, const DocumentoGrabado& documento, const LienzoPagina& lienzo);

/// Paints a document on a printer already set up for it (device, page, title) and ends the job. Raises a printer
/// failure naming impresora when the printer cannot open or send it.
void pintarEnImpresora(QPrinter& printer, const DocumentoGrabado& documento, const QString& impresora);

/// How a ticket sits on a PDF page that stands for a receipt roll.
struct FormatoRollo {
    /// Widths of the rolls the page may stand for, narrowest first. A printer does not know which roll the
    /// branch uses (the documents only choose their columns), so the page takes the narrowest roll that
    /// holds every printed line: a 58 mm ticket looks like one, and a line too wide for any roll widens the
    /// page rather than being cut.
    QList<double> anchosMm{58.0, 80.0};
    /// Blank paper around the print on every side; 80 mm rolls print 72 to 74 mm.
    double margenMm = 3.0;
    /// A ticket longer than this goes on several pages (viewers cope badly with pages past 5 m).
    double largoMaximoMm = 5000.0;
};

/// Width of the page for a document, in millimetres.
double anchoPaginaMm(const DocumentoGrabado& documento, const FormatoRollo& formato);

/// Writes a document as a PDF whose page is as wide as the roll and as long as the ticket. Raises a printer
/// failure when the file cannot be written.
void escribirPdf(const DocumentoGrabado& documento, QIODevice& destino, const FormatoRollo& formato,
                 const QString& titulo);

} // namespace kestrel
