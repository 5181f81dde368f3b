#include "print/escpos/destino.h"

namespace kestrel {

namespace {

/// The roll's width in dots from the option after "?"; the mistake in error otherwise.
int leerAncho(const QString& opcion, QString& error) {
    if (!opcion.startsWith(QLatin1String("ancho="), Qt::CaseInsensitive)) {
        error = QStringLiteral("opción desconocida «%1» (se admite ancho=58 o ancho=80)").arg(opcion);
        return 0;
    }
    const QString valor = opcion.mid(6).trimmed();
    if (valor == QLatin1String("58"))
        return puntosRollo58;
    if (valor == QLatin1String("80"))
        return puntosRollo80;
    error = QStringLiteral("ancho de rollo no válido «%1» (58 u 80)").arg(valor);
    return 0;
}

/// Host and port of "HOST[:PUERTO]" or "[IPv6][:PUERTO]"; the mistake, or empty.
QString leerTcp(const QString& resto, DestinoEscpos& d) {
    qsizetype finHost = resto.size();
    qsizetype dosPuntos = -1;
    if (resto.startsWith(QLatin1Char('['))) {
        // An IPv6 address carries colons of its own: only the bracketed form can have a port after it.
        const qsizetype cierre = resto.indexOf(QLatin1Char(']'));
        if (cierre < 0 || (cierre + 1 < resto.size() && resto[cierre + 1] != QLatin1Char(':')))
            return QStringLiteral("dirección no válida «%1»").arg(resto);
        d.host = resto.mid(1, cierre - 1);
        if (cierre + 1 < resto.size())
            dosPuntos = cierre + 1;
    } else {
        dosPuntos = resto.lastIndexOf(QLatin1Char(':'));
        if (dosPuntos >= 0)
            finHost = dosPuntos;
        d.host = resto.left(finHost).trimmed();
    }
    if (d.host.isEmpty())
        return QStringLiteral("falta el equipo en «tcp://%1»").arg(resto);
    if (dosPuntos < 0)
        return {};
    const QString puerto = resto.mid(dosPuntos + 1);
    bool numero = false;
    const uint valor = puerto.toUInt(&numero);
    if (!numero || valor == 0 || valor > 65535)
        return QStringLiteral("puerto no válido «%1» (1 a 65535)").arg(puerto);
    d.puerto = static_cast<quint16>(valor);
    return {};
}

/// The printer of texto; the mistake in error otherwise.
DestinoEscpos leer(const QString& texto, QString& error) {
    const qsizetype igual = texto.indexOf(QLatin1Char('='));
    DestinoEscpos d;
    d.nombre = igual < 0 ? QString() : texto.left(igual).trimmed();
    if (d.nombre.isEmpty()) {
        error = QStringLiteral("falta el nombre de la impresora (NOMBRE=tcp://equipo, NOMBRE=cups:cola o "
                               "NOMBRE=dispositivo:ruta)");
        return d;
    }
    QString resto = texto.mid(igual + 1).trimmed();
    const qsizetype pregunta = resto.indexOf(QLatin1Char('?'));
    if (pregunta >= 0) {
        d.puntosAncho = leerAncho(resto.mid(pregunta + 1).trimmed(), error);
        resto = resto.left(pregunta).trimmed();
        if (!error.isEmpty())
            return d;
    }
    const auto esquema = [&resto](const char* prefijo) {
        return resto.startsWith(QLatin1String(prefijo), Qt::CaseInsensitive);
    };
    if (esquema("tcp://")) {
        d.tipo = DestinoEscpos::Tipo::Tcp;
        error = leerTcp(resto.mid(6).trimmed(), d);
    } else if (esquema("cups:")) {
        d.tipo = DestinoEscpos::Tipo::Cups;
        d.ruta = resto.mid(5).trimmed();
        if (d.ruta.isEmpty())
            error = QStringLiteral("falta la cola de CUPS tras «cups:»");
    } else if (esquema("dispositivo:")) {
        d.tipo = DestinoEscpos::Tipo::Dispositivo;
        d.ruta = resto.mid(12).trimmed();
        if (d.ruta.isEmpty())
            error = QStringLiteral("falta la ruta tras «dispositivo:»");
    } else {
        error = QStringLiteral("destino desconocido «%1» (se espera tcp://, cups: o dispositivo:)").arg(resto);
    }
    return d;
}

} // namespace

QString DestinoEscpos::direccion() const {
    switch (tipo) {
    case Tipo::Tcp: {
        const QString equipo = host.contains(QLatin1Char(':')) ? u'[' + host + u']' : host;
        return QStringLiteral("tcp://%1:%2").arg(equipo).arg(puerto);
    }
    case Tipo::Cups:
        return QStringLiteral("cups:") + ruta;
    case Tipo::Dispositivo:
        return QStringLiteral("dispositivo:") + ruta;
    }
    return {};
}

std::optional<DestinoEscpos> leerDestinoEscpos(const QString& texto, QString* error) {
    QString problema;
    DestinoEscpos d = leer(texto, problema);
    if (problema.isEmpty())
        return d;
    if (error)
        *error = QStringLiteral("Impresora ESC/POS «%1»: %2").arg(texto.trimmed(), problema);
    return std::nullopt;
}

} // namespace kestrel
