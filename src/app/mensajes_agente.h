#pragma once

#include <QString>

namespace kestrel {

// The two texts the agent sends to the service. Both go out without marker and without line break; the
// service reads them as JSON objects. The branch code is escaped (escaparJson) so that a quote, a backslash
// or a control character in it cannot break the reply; an ordinary code comes out unchanged.

/// {"idSyA":"<code>","type":"id"}; 39 characters for a 15-digit code.
QString textoIdentificacion(const QString& codigoSucursal);
/// {"idSyA":"<code>","status":"<ocupado>"}.
QString textoEstado(const QString& codigoSucursal, qint16 ocupado);

} // namespace kestrel
