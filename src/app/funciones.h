#pragma once

#include <QString>

namespace kestrel {

/// True when a file or folder exists at ruta; a trailing separator is ignored (a root keeps it).
bool existeArchivo(const QString& ruta);

} // namespace kestrel
