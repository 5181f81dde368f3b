#pragma once

#include <QString>

#include "json/valor.h"

namespace kestrel {

/// Parses a message text with the lenient reader. Returns the top-level container (a value holding an
/// object or a list) or a value that is not a container ("no object") when the text does not start with
/// "{" or "[". Problems never throw: they are collected in jsonErrors(); the returned container holds what
/// was read before the first problem that stopped it and must not be used when jsonErrors() is not empty.
Valor jsonParse(const QString& texto);

/// The error text of the last jsonParse on this thread; empty when that parse was clean.
QString jsonErrors();

} // namespace kestrel
