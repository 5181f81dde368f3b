#include "app/mensajes_agente.h"

#include "json/volcado.h"

namespace kestrel {

QString textoIdentificacion(const QString& codigoSucursal) {
    return QLatin1String("{\"idSyA\":\"") + escaparJson(codigoSucursal) + QLatin1String("\",\"type\":\"id\"}");
}

QString textoEstado(const QString& codigoSucursal, qint16 ocupado) {
    return QLatin1String("{\"idSyA\":\"") + escaparJson(codigoSucursal) + QLatin1String("\",\"status\":\"") +
           QString::number(ocupado) + QLatin1String("\"}");
}

} // namespace kestrel
