#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrel {

// Each way of running kestrel-agente. argumentos excludes the program name; the console modes print on
// standard output and return the process exit code.

/// --analizar-json FILE: canonical dump of the parse, then the errors.
int modoAnalizarJson(const QStringList& argumentos);
/// --evaluar-script FILE: runs a JSON script and prints what it produces.
int modoEvaluarScript(const QStringList& argumentos);
/// --previsualizar MESSAGE.json [...]: the documents a message prints, as text.
int modoPrevisualizar(const QStringList& argumentos);
/// The whole text of a console mode's one file argument (UTF-8). On a wrong argument count or an unreadable
/// file the reason (or the usage line uso) goes to standard error and nothing comes back.
std::optional<QString> leerArchivoDelModo(const QStringList& argumentos, const char* uso);
/// The agent itself (window, tray, link). Creates the QApplication.
int modoAgente(int argc, char** argv);

} // namespace kestrel
