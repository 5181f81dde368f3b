#pragma once

#include <QJsonArray>
#include <QMap>
#include <QString>

#include <functional>

namespace kestrel::prueba {

/// Runs one case: takes the case's arguments and gives what the code under test did, as text.
using FuncionTabla = std::function<QString(const QJsonArray& argumentos)>;

/// Checks every table of tests/data/tablas/<tema>.json. The file maps "funcion/grupo" (or just "funcion") to
/// rows; a row is the arguments followed by the result expected (a text, or a list of texts meaning one line
/// each), and a row that is a lone text is a note for the reader. A table naming no function, or a function
/// with no table, fails.
void comprobarTablas(const QString& tema, const QMap<QString, FuncionTabla>& funciones);

/// A path under tests/data (KESTREL_DATOS_PRUEBA).
QString carpetaDatos(const QString& relativa);

/// Runs the event loop until condicion holds (true) or ms pass (false).
bool esperarHasta(const std::function<bool()>& condicion, int ms = 5000);

/// Writes a whole file (false when it cannot be opened); reads one, null when it cannot.
bool escribirArchivo(const QString& ruta, const QByteArray& contenido = {});
QByteArray leerArchivo(const QString& ruta);

/// The failure a call raises, as "fallo N" (with ": description" when asked), or what it gives when it raises
/// nothing.
QString falloO(const std::function<QString()>& llamada, bool conDescripcion = false);

} // namespace kestrel::prueba
