#include "print/qt/estado_cups.h"

#include <cups/cups.h>

#include <algorithm>
#include <exception>
#include <memory>

#include <QObject>

#include "json/fallo.h"
#include "print/qt/hilo_cups.h"
#include "print/qt/sistema_cups.h"

namespace kestrel {

namespace {

bool hayRazon(const QStringList& razones, const char* palabra, bool tambienInforme) {
    const QLatin1String buscada(palabra);
    return std::any_of(razones.begin(), razones.end(), [&](const QString& r) {
        if (!r.startsWith(buscada))
            return false;
        const QStringView resto = QStringView(r).mid(buscada.size());
        // "-report" only informs, except where the scheduler itself uses it for the real condition.
        return resto.isEmpty() || resto == QLatin1String("-error") || resto == QLatin1String("-warning") ||
               (tambienInforme && resto == QLatin1String("-report"));
    });
}

struct Cerrar {
    void operator()(http_t* h) const { httpClose(h); }
    void operator()(ipp_t* i) const { ippDelete(i); }
};

} // namespace

EstadoImpresora estadoColaCups(int estadoCola, bool aceptaTrabajos, const QStringList& razones) {
    if (hayRazon(razones, "media-empty", false) || hayRazon(razones, "media-needed", false))
        return EstadoImpresora::SinPapel;
    if (hayRazon(razones, "cover-open", false) || hayRazon(razones, "door-open", false))
        return EstadoImpresora::TapaAbierta;
    // The scheduler marks a printer its backend cannot reach with "offline-report".
    if (hayRazon(razones, "offline", true) || hayRazon(razones, "connecting-to-device", false) ||
        hayRazon(razones, "timed-out", false))
        return EstadoImpresora::FueraDeLinea;
    if (estadoCola == IPP_PSTATE_STOPPED || !aceptaTrabajos || hayRazon(razones, "paused", true))
        return EstadoImpresora::Detenida;
    if (hayRazon(razones, "media-low", true))
        return EstadoImpresora::PapelPorAcabarse;
    return EstadoImpresora::Lista;
}

QList<LecturaImpresora> leerEstadosCups(std::chrono::milliseconds limite) {
    int cancelar = 0;
    std::unique_ptr<http_t, Cerrar> http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                                      static_cast<int>(limite.count()), &cancelar));
    if (!http)
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible,
                              QStringLiteral("No se pudo conectar con el servicio de impresion (CUPS)"));
    httpSetTimeout(
        http.get(), static_cast<double>(limite.count()) / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
    ipp_t* peticion = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const atributos[] = {"printer-name", "printer-state", "printer-state-reasons",
                                            "printer-is-accepting-jobs", "device-uri"};
    ippAddStrings(peticion, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 5, nullptr, atributos);
    const std::unique_ptr<ipp_t, Cerrar> respuesta(cupsDoRequest(http.get(), peticion, "/"));
    if (!respuesta || ippGetStatusCode(respuesta.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
        const QString descripcion = QStringLiteral("CUPS no respondio: ") + QString::fromUtf8(cupsLastErrorString());
        // What libcups reports for a connection that timed out or broke, or a scheduler too busy to answer.
        const ipp_status_t error = cupsLastError();
        if (!respuesta || error == IPP_STATUS_ERROR_INTERNAL || error == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ||
            error == IPP_STATUS_ERROR_BUSY || error == IPP_STATUS_ERROR_TIMEOUT)
            throw FalloPlataforma(numerofallo::dispositivoNoDisponible, descripcion);
        fallaImpresora(descripcion);
    }
    QList<LecturaImpresora> lecturas;
    // The answer is one run of attributes per printer, the runs separated by separator tags.
    auto terminar = [&](LecturaImpresora& l, int estado, bool acepta, QStringList& razones) {
        if (!l.nombre.isEmpty()) {
            l.estado = estadoColaCups(estado, acepta, razones);
            lecturas.append(l);
        }
        l = {};
        razones.clear();
    };
    LecturaImpresora actual;
    int estado = IPP_PSTATE_IDLE;
    bool acepta = true;
    QStringList razones;
    for (ipp_attribute_t* a = ippFirstAttribute(respuesta.get()); a; a = ippNextAttribute(respuesta.get())) {
        const char* nombre = ippGetName(a);
        if (!nombre) {
            terminar(actual, estado, acepta, razones);
            estado = IPP_PSTATE_IDLE;
            acepta = true;
            continue;
        }
        const QLatin1String n(nombre);
        if (n == QLatin1String("printer-name"))
            actual.nombre = QString::fromUtf8(ippGetString(a, 0, nullptr));
        else if (n == QLatin1String("printer-state"))
            estado = ippGetInteger(a, 0);
        else if (n == QLatin1String("printer-is-accepting-jobs"))
            acepta = ippGetBoolean(a, 0) != 0;
        else if (n == QLatin1String("device-uri"))
            actual.destino = QString::fromUtf8(ippGetString(a, 0, nullptr));
        else if (n == QLatin1String("printer-state-reasons"))
            for (int i = 0; i < ippGetCount(a); ++i)
                razones << QString::fromUtf8(ippGetString(a, i, nullptr));
    }
    terminar(actual, estado, acepta, razones);
    return lecturas;
}

void SistemaCups::sondearEstados() {
    // Queued behind the follow-up's questions, never in front of a document: a poll is not worth a delay.
    sondearEnHilo(*m_hilo, m_receptor, observadorEstados(), ClaseImpresora::Cups, m_sondeoEnCurso,
                  [limite = m_hilo->limite()] { return leerEstadosCups(limite); });
}

} // namespace kestrel
