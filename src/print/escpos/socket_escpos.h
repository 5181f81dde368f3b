#pragma once

#include <QtGlobal>

namespace kestrel {

/// Bytes written to the connected TCP socket descriptor that its peer has not acknowledged yet: 0 once the
/// printer's own network stack holds every byte, -1 when the platform cannot say (the caller then trusts what
/// left). Never blocks. One implementation per platform, chosen by the build.
qint64 bytesSinConfirmar(qintptr descriptor);

} // namespace kestrel
