#pragma once

#include <QByteArray>
#include <QDir>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <ostream>

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
/// Page size in points of the first page, as pdfinfo reports it.
QSizeF tamanoPaginaPdf(const QString& ruta);
int paginasPdf(const QString& ruta);
/// Pictures in the PDF, as pdfimages -list counts them.
int imagenesPdf(const QString& ruta);
/// Right edge, in points, of the rightmost word pdftotext finds on the first page.
double bordeDerechoTextoPdf(const QString& ruta);

/// Lets events run until condicion holds (true) or ms pass (false).
bool esperarHasta(const std::function<bool()>& condicion, int ms);

/// Names of the files in a folder, sorted.
QStringList archivos(const QDir& carpeta);
/// Waits until the folder holds files that are not in antes (at most the limit); returns them, sorted.
QStringList esperarArchivosNuevos(const QDir& carpeta, const QStringList& antes,
                                  std::chrono::milliseconds limite = std::chrono::seconds(20));

} // namespace prueba
