#pragma once

#include <QString>

namespace kestrel {

// The two texts the agent sends to the service. Both go out without marker and without line break; the
// service reads them as JSON objects.

/// {"idSyA":"<code>","type":"id"}; 39 characters for a 15-digit code.
QString textoIdentificacion(const QString& codigoSucursal);
/// {"idSyA":"<code>","status":"<ocupado>"}.
QString textoEstado(const QString& codigoSucursal, qint16 ocupado);
/// The code as a JSON string body: an ordinary code comes out unchanged, while a quote, a backslash or a
/// control character is escaped so that it cannot break the reply.
QString escaparJson(const QString& texto);

} // namespace kestrel
