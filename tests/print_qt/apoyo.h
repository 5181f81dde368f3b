#pragma once

#include <QByteArray>
#include <QDir>
#include <QMultiMap>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

#include "tablas.h"

/// Lets GoogleTest show texts as texts in its failure messages.
inline void PrintTo(const QString& texto, std::ostream* os) {
    *os << '"' << texto.toStdString() << '"';
}

// Helpers shared by the printer tests: running the poppler tools on the PDFs the printers produce, and
// waiting for files a scheduler or a printer writes.
namespace prueba {

struct Salida {
    int codigo = -1;
    QByteArray texto;
    QByteArray errores;
};

/// Runs a program to its end (at most 30 s) and collects what it printed.
Salida ejecutar(const QString& programa, const QStringList& argumentos);

/// The text of a PDF as pdftotext -layout reads it.
QString textoPdf(const QString& ruta);

/// What the poppler tools say of a PDF: pages, the first page's size in points, the pictures, and the right
/// edge in points of the rightmost word on the first page.
struct InfoPdf {
    int paginas = -1;
    QSizeF pagina;
    int imagenes = 0;
    double bordeDerecho = 0;
};
InfoPdf infoPdf(const QString& ruta);

/// Names of the files in a folder, sorted.
QStringList archivos(const QDir& carpeta);
using kestrel::prueba::esperarHasta;
using kestrel::prueba::leerArchivo;

// The private CUPS scheduler of the end-to-end tests (scripts/cups-sandbox, started by a CTest fixture): its
// folder, and the folder where every queue captures its jobs as <queue>-<n>.
QString caja();
QDir capturas();
/// Waits (at most 20 s) until the scheduler holds no job.
void esperarColaVacia();
/// The capture files that are not in antes, as queue -> path, once at least minimo of them exist and the
/// scheduler holds no job (or 20 s have passed).
QMultiMap<QString, QString> esperarTrabajos(const QStringList& antes, int minimo = 1);

} // namespace prueba
