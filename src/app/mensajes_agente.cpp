#include "app/mensajes_agente.h"

namespace kestrel {

QString escaparJson(const QString& texto) {
    QString salida;
    salida.reserve(texto.size());
    for (QChar c : texto) {
        switch (c.unicode()) {
        case u'"':
            salida += QLatin1String("\\\"");
            break;
        case u'\\':
            salida += QLatin1String("\\\\");
            break;
        case u'\n':
            salida += QLatin1String("\\n");
            break;
        case u'\r':
            salida += QLatin1String("\\r");
            break;
        case u'\t':
            salida += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                salida += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                salida += c;
        }
    }
    return salida;
}

QString textoIdentificacion(const QString& codigoSucursal) {
    return QLatin1String("{\"idSyA\":\"") + escaparJson(codigoSucursal) + QLatin1String("\",\"type\":\"id\"}");
}

QString textoEstado(const QString& codigoSucursal, qint16 ocupado) {
    return QLatin1String("{\"idSyA\":\"") + escaparJson(codigoSucursal) + QLatin1String("\",\"status\":\"") +
           QString::number(ocupado) + QLatin1String("\"}");
}

} // namespace kestrel
