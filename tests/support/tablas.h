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

/// The failure a call raises, as "fallo N", or what it gives when it raises nothing.
QString falloO(const std::function<QString()>& llamada);

} // namespace kestrel::prueba
