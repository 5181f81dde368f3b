#pragma once

#include <QString>

namespace kestrel {

/// Windows' own description of a system error code (GetLastError, a spooler or device error), or "error N de
/// Windows" when it has none. Built on Windows only.
QString textoErrorWindows(unsigned long codigo);

} // namespace kestrel
