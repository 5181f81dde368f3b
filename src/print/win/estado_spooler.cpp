#include "print/win/estado_spooler.h"

namespace kestrel {

using namespace bitspooler;

QString motivoImpresoraSpooler(quint32 i) {
    if (i & impresoraSinPapel)
        return QStringLiteral("sin papel");
    if (i & impresoraTapaAbierta)
        return QStringLiteral("tapa abierta");
    if (i & (impresoraFueraDeLinea | impresoraNoDisponible))
        return QStringLiteral("desconectada");
    if (i & (impresoraPausada | impresoraError | impresoraAtasco | impresoraProblemaPapel | impresoraIntervencion |
             impresoraBorrandose))
        return QStringLiteral("detenida");
    return {};
}

EstadoImpresora estadoImpresoraSpooler(quint32 i) {
    if (i & impresoraSinPapel)
        return EstadoImpresora::SinPapel;
    if (i & impresoraTapaAbierta)
        return EstadoImpresora::TapaAbierta;
    if (i & (impresoraFueraDeLinea | impresoraNoDisponible | impresoraServidorFueraDeLinea))
        return EstadoImpresora::FueraDeLinea;
    if (i & (impresoraPausada | impresoraError | impresoraAtasco | impresoraProblemaPapel | impresoraIntervencion |
             impresoraBorrandose | impresoraSinToner | impresoraBandejaLlena))
        return EstadoImpresora::Detenida;
    if (i & impresoraServidorDesconocido)
        return EstadoImpresora::Desconocido;
    return EstadoImpresora::Lista;
}

bool spoolerSinRespuesta(quint32 error) {
    switch (error) {
    case 1722: // RPC_S_SERVER_UNAVAILABLE: the spooler service is stopped or restarting
    case 1723: // RPC_S_SERVER_TOO_BUSY
    case 1726: // RPC_S_CALL_FAILED
    case 1727: // RPC_S_CALL_FAILED_DNE
    case 1753: // EPT_S_NOT_REGISTERED: the service is not listening yet
    case 1062: // ERROR_SERVICE_NOT_ACTIVE
    case 1460: // ERROR_TIMEOUT
    case 121:  // ERROR_SEM_TIMEOUT: a print server that does not answer
        return true;
    default:
        return false;
    }
}

QString descripcionSpoolerNoResponde() {
    return QStringLiteral("La cola de impresion de Windows no responde");
}

EstadoCola estadoSpooler(const LecturaSpooler& lectura) {
    if (!lectura.presente)
        return {EstadoCola::Fin::Impreso, {}};
    const quint32 t = lectura.trabajo;
    if (t & (trabajoBorrandose | trabajoBorrado))
        return {EstadoCola::Fin::Fallido, QStringLiteral("trabajo cancelado")};
    if (t & (trabajoImpreso | trabajoCompleto | trabajoRetenido))
        return {EstadoCola::Fin::Impreso, {}};
    // The job's own bits first: the printer's may describe another job.
    if (t & trabajoSinPapel)
        return {EstadoCola::Fin::Fallido, QStringLiteral("sin papel")};
    if (t & trabajoFueraDeLinea)
        return {EstadoCola::Fin::Fallido, QStringLiteral("desconectada")};
    QString motivo = motivoImpresoraSpooler(lectura.impresora);
    if (motivo.isEmpty() && (t & (trabajoPausado | trabajoError | trabajoBloqueado | trabajoIntervencion)))
        motivo = QStringLiteral("detenida");
    if (motivo.isEmpty())
        return {};
    const QString mensaje = lectura.mensaje.trimmed();
    if (motivo == QLatin1String("detenida") && !mensaje.isEmpty())
        motivo += QStringLiteral(": ") + mensaje;
    return {EstadoCola::Fin::Fallido, motivo};
}

} // namespace kestrel
