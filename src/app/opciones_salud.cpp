#include "app/opciones_salud.h"

#include <QFile>
#include <QStringList>

namespace kestrel {

namespace {

// PUERTO, :PUERTO, DIRECCIÓN:PUERTO or [IPv6]:PUERTO; the address must be one of this machine's.
QString leerMetricas(const QString& valor, OpcionesSalud& o) {
    const QString v = valor.trimmed();
    const qsizetype dosPuntos = v.lastIndexOf(QLatin1Char(':'));
    QString direccion = dosPuntos < 0 ? QString() : v.left(dosPuntos);
    const QString puerto = v.mid(dosPuntos + 1);
    if (direccion.startsWith(QLatin1Char('[')) && direccion.endsWith(QLatin1Char(']')))
        direccion = direccion.mid(1, direccion.size() - 2);
    bool ok = false;
    const uint numero = puerto.toUInt(&ok);
    if (!ok || numero == 0 || numero > 65535)
        return QStringLiteral("puerto no valido en --metricas: %1 (DIRECCION:PUERTO)").arg(valor);
    QHostAddress d(QHostAddress::LocalHost);
    if (direccion == QLatin1String("localhost"))
        direccion.clear();
    if (!direccion.isEmpty() && !d.setAddress(direccion))
        return QStringLiteral("direccion no valida en --metricas: %1 (una direccion IP de este equipo)").arg(valor);
    o.metricas = true;
    o.direccion = d;
    o.puerto = static_cast<quint16>(numero);
    return {};
}

} // namespace

const QStringList& nombresOpcionesSalud() {
    static const QStringList nombres{QStringLiteral("sondeo-impresoras"), QStringLiteral("metricas"),
                                     QStringLiteral("metricas-certificado"), QStringLiteral("metricas-clave")};
    return nombres;
}

QString aplicarOpcionSalud(OpcionesSalud& o, const QString& nombre, const QString& valor) {
    if (nombre == QLatin1String("sondeo-impresoras")) {
        bool ok = false;
        const int segundos = valor.toInt(&ok);
        if (!ok || segundos < 0)
            return QStringLiteral("--sondeo-impresoras no valido: %1 (segundos, 0 para no sondear)").arg(valor);
        o.sondeoImpresoras = segundos;
        return {};
    }
    if (nombre == QLatin1String("metricas")) {
        // An empty key in a settings file leaves the endpoint off, as when the key is absent.
        if (valor.trimmed().isEmpty() || valor.trimmed() == QLatin1String("no")) {
            o.metricas = false;
            return {};
        }
        return leerMetricas(valor, o);
    }
    QString* archivo = nombre == QLatin1String("metricas-certificado") ? &o.certificado
                       : nombre == QLatin1String("metricas-clave")     ? &o.clave
                                                                       : nullptr;
    if (archivo) {
        *archivo = valor;
        return valor.isEmpty() ? QStringLiteral("--%1 vacio").arg(nombre) : QString();
    }
    return {};
}

QString comprobarOpcionesSalud(const OpcionesSalud& o) {
    if (o.certificado.isEmpty() != o.clave.isEmpty())
        return QStringLiteral("--metricas-certificado y --metricas-clave van juntas");
    for (const QString& ruta : {o.certificado, o.clave}) {
        QFile archivo(ruta);
        if (!ruta.isEmpty() && !archivo.open(QIODevice::ReadOnly))
            return QStringLiteral("no se puede leer %1: %2").arg(ruta, archivo.errorString());
    }
    return {};
}

} // namespace kestrel
