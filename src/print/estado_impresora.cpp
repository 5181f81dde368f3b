#include "print/estado_impresora.h"

namespace kestrel {

QString textoEstado(EstadoImpresora estado) {
    switch (estado) {
    case EstadoImpresora::Lista:
        return QStringLiteral("lista");
    case EstadoImpresora::PapelPorAcabarse:
        return QStringLiteral("papel por acabarse");
    case EstadoImpresora::SinPapel:
        return QStringLiteral("sin papel");
    case EstadoImpresora::TapaAbierta:
        return QStringLiteral("tapa abierta");
    case EstadoImpresora::FueraDeLinea:
        return QStringLiteral("fuera de línea");
    case EstadoImpresora::Detenida:
        return QStringLiteral("detenida");
    case EstadoImpresora::NoResponde:
        return QStringLiteral("no responde");
    case EstadoImpresora::Desconocido:
        break;
    }
    return QStringLiteral("desconocido");
}

bool estadoMalo(EstadoImpresora estado) {
    return estado != EstadoImpresora::Lista && estado != EstadoImpresora::Desconocido;
}

EstadoImpresora estadoDeMotivo(const QString& motivo) {
    if (motivo.isEmpty())
        return EstadoImpresora::Lista;
    if (motivo == QLatin1String("sin papel"))
        return EstadoImpresora::SinPapel;
    if (motivo == QLatin1String("papel por acabarse"))
        return EstadoImpresora::PapelPorAcabarse;
    if (motivo == QLatin1String("tapa abierta"))
        return EstadoImpresora::TapaAbierta;
    // A CUPS queue whose device went away says "desconectada": for the cashier it is the same as offline.
    if (motivo == u"fuera de línea" || motivo == QLatin1String("desconectada"))
        return EstadoImpresora::FueraDeLinea;
    // A receipt printer that cannot be reached, takes no bytes or drops the connection.
    if (motivo == QLatin1String("no responde") || motivo == QLatin1String("no recibe datos") ||
        motivo == u"cortó la conexión" || motivo.startsWith(QLatin1String("no se puede abrir")))
        return EstadoImpresora::NoResponde;
    return EstadoImpresora::Detenida;
}

QString textoClase(ClaseImpresora clase) {
    switch (clase) {
    case ClaseImpresora::Escpos:
        return QStringLiteral("ESC/POS");
    case ClaseImpresora::Virtual:
        return QStringLiteral("virtual");
    case ClaseImpresora::Windows:
        return QStringLiteral("Windows");
    case ClaseImpresora::Cups:
        break;
    }
    return QStringLiteral("CUPS");
}

} // namespace kestrel
