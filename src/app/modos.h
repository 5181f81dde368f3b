#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
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
/// --trabajos [--carpeta DIR]: the job journal, one tab-separated line per entry, oldest first.
int modoTrabajos(const QStringList& argumentos);
/// --reimprimir N [--impresora NOMBRE] [agent options]: prints entry N's document again and records it.
int modoReimprimir(const QStringList& argumentos);
/// Writes texto to a console stream in UTF-8, at once.
void escribir(std::FILE* destino, const QString& texto);
/// The whole text of a console mode's one file argument (UTF-8). On a wrong argument count or an unreadable
/// file the reason (or the usage line uso) goes to standard error and nothing comes back.
std::optional<QString> leerArchivoDelModo(const QStringList& argumentos, const char* uso);
/// The agent itself (window, tray, link). Reads argumentos first: an option error exits 2 and a missing
/// display exits 1, each with one line on standard error, before any GUI application exists.
int modoAgente(int argc, char** argv, const QStringList& argumentos);

} // namespace kestrel
