#pragma once

#include <QString>

#include "json/valor.h"

namespace kestrel {

/// A text as the body of a JSON string: `"`, `\` and control characters escaped (lone surrogates as \uXXXX
/// too), everything else unchanged.
QString escaparJson(QStringView texto);

/// Canonical one-line form of a parsed value, for checking what the reader made of a message: objects
/// {"k":v,...} in insertion order, lists [v,...], no blanks; texts quoted with JSON escapes for `"`, `\` and
/// control characters (lone surrogates as \uXXXX too, since UTF-8 cannot carry them); numbers in plain
/// decimal with "." and no trailing fractional zeros; true, false, null; the empty value as `vacio`.
QString volcarValor(const Valor& valor);

/// What `--analizar-json` prints for a parse: the dump of the result (`nada` when no container came back) on
/// one line, then, when the error text is not empty, a line "errores:" and the error text with each CR LF as
/// a line end. Every line ends with "\n".
QString informeAnalisis(const Valor& resultado, const QString& errores);

} // namespace kestrel
