#include "print/qt/cliente_cups.h"

#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <algorithm>
#include <memory>

#include "json/fallo.h"
#include "print/qt/pintor.h"

namespace kestrel {

namespace {

QString ultimoErrorCups() {
    return QString::fromUtf8(cupsLastErrorString());
}

/// Raises with CUPS's last error: a scheduler that did not answer (timed out, busy, connection lost) raises the
/// "no answer" failure, so the document waits for it instead of failing.
[[noreturn]] void fallaCups(const QString& descripcion) {
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_INTERNAL: // what libcups reports for a connection that timed out or broke
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_BUSY:
    case IPP_STATUS_ERROR_TIMEOUT:
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible, descripcion);
    default:
        fallaImpresora(descripcion);
    }
}

/// The queue of a destination: "name/instance" prints on "name".
QByteArray cola(const QString& impresora) {
    return impresora.section(QLatin1Char('/'), 0, 0).toUtf8();
}

struct CerrarHttp {
    void operator()(http_t* h) const { httpClose(h); }
};
using Conexion = std::unique_ptr<http_t, CerrarHttp>;

struct LiberarIpp {
    void operator()(ipp_t* i) const { ippDelete(i); }
};
using RespuestaIpp = std::unique_ptr<ipp_t, LiberarIpp>;

/// A connection to the scheduler that gives up on every read or write after the limit.
Conexion conectar(std::chrono::milliseconds limite) {
    int cancelar = 0;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(limite.count()), &cancelar);
    if (!http)
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible,
                              QStringLiteral("No se pudo conectar con el servicio de impresion (CUPS)"));
    // Returning 0 from the callback ends the wait with an error instead of waiting again.
    httpSetTimeout(
        http, static_cast<double>(limite.count()) / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
    return Conexion(http);
}

} // namespace

DestinosCups consultarDestinos(std::chrono::milliseconds limite) {
    Conexion http = conectar(limite);
    cups_dest_t* destinos = nullptr;
    const int n = cupsGetDests2(http.get(), &destinos);
    const ipp_status_t estado = cupsLastError();
    DestinosCups resultado;
    for (int i = 0; i < n; ++i) {
        QString nombre = QString::fromUtf8(destinos[i].name);
        if (destinos[i].instance)
            nombre += QLatin1Char('/') + QString::fromUtf8(destinos[i].instance);
        resultado.nombres << nombre;
        if (destinos[i].is_default)
            resultado.predeterminado = nombre;
    }
    cupsFreeDests(n, destinos);
    // A scheduler without queues answers "not found"; anything worse with nothing listed is a failure.
    if (n == 0 && estado > IPP_STATUS_OK_CONFLICTING && estado != IPP_STATUS_ERROR_NOT_FOUND)
        fallaCups(QStringLiteral("CUPS no entrego la lista de impresoras: ") + ultimoErrorCups());
    return resultado;
}

void comprobarCola(const QString& impresora, std::chrono::milliseconds limite) {
    Conexion http = conectar(limite);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     cola(impresora).constData());
    ipp_t* peticion = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(peticion, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const atributos[] = {"printer-state", "printer-is-accepting-jobs", "printer-state-message"};
    ippAddStrings(peticion, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, atributos);
    const RespuestaIpp respuesta(cupsDoRequest(http.get(), peticion, "/"));
    if (!respuesta)
        fallaCups(QStringLiteral("CUPS no respondio: ") + ultimoErrorCups());
    const ipp_status_t estado = ippGetStatusCode(respuesta.get());
    if (estado == IPP_STATUS_ERROR_NOT_FOUND)
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no existe en CUPS"));
    if (estado > IPP_STATUS_OK_CONFLICTING)
        fallaImpresora(ultimoErrorCups());

    QString mensaje;
    if (ipp_attribute_t* a = ippFindAttribute(respuesta.get(), "printer-state-message", IPP_TAG_TEXT))
        mensaje = QString::fromUtf8(ippGetString(a, 0, nullptr)).trimmed();
    const QString detalle = mensaje.isEmpty() ? QString() : QStringLiteral(" (") + mensaje + QLatin1Char(')');
    ipp_attribute_t* a = ippFindAttribute(respuesta.get(), "printer-state", IPP_TAG_ENUM);
    if (a && ippGetInteger(a, 0) == IPP_PSTATE_STOPPED)
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" esta detenida") + detalle);
    a = ippFindAttribute(respuesta.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    if (a && !ippGetBoolean(a, 0))
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no acepta trabajos") + detalle);
}

namespace {

int enviarTrabajo(const QString& impresora, const QByteArray& datos, const char* titulo, const char* formato,
                  std::chrono::milliseconds limite, std::atomic<qint64>* creado) {
    Conexion http = conectar(limite);
    const QByteArray nombre = cola(impresora);
    const int trabajo = cupsCreateJob(http.get(), nombre.constData(), titulo, 0, nullptr);
    if (trabajo == 0)
        fallaCups(QStringLiteral("CUPS no acepto el trabajo para ") + impresora + QStringLiteral(": ") +
                  ultimoErrorCups());
    if (creado)
        creado->store(trabajo);
    bool enviado =
        cupsStartDocument(http.get(), nombre.constData(), trabajo, titulo, formato, 1) == HTTP_STATUS_CONTINUE;
    enviado = enviado && cupsWriteRequestData(http.get(), datos.constData(), static_cast<size_t>(datos.size())) ==
                             HTTP_STATUS_CONTINUE;
    enviado = cupsFinishDocument(http.get(), nombre.constData()) == IPP_STATUS_OK && enviado;
    if (!enviado) {
        const QString razon = ultimoErrorCups();
        const ipp_status_t error = cupsLastError();
        cupsCancelJob2(http.get(), nombre.constData(), trabajo, 0);
        const bool sinRespuesta = error == IPP_STATUS_ERROR_INTERNAL || error == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
        throw FalloPlataforma(sinRespuesta ? numerofallo::dispositivoNoDisponible : numerofallo::errorImpresora,
                              QStringLiteral("No se pudo enviar a ") + impresora + QStringLiteral(": ") + razon);
    }
    return trabajo;
}

QString uriCola(const QString& impresora) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     cola(impresora).constData());
    return QString::fromUtf8(uri);
}

QStringList palabras(ipp_t* respuesta, const char* atributo) {
    QStringList lista;
    if (ipp_attribute_t* a = ippFindAttribute(respuesta, atributo, IPP_TAG_KEYWORD))
        for (int i = 0; i < ippGetCount(a); ++i)
            lista << QString::fromUtf8(ippGetString(a, i, nullptr));
    return lista;
}

} // namespace

int enviarCrudo(const QString& impresora, const QByteArray& datos, std::chrono::milliseconds limite,
                std::atomic<qint64>* creado) {
    return enviarTrabajo(impresora, datos, "cajon", CUPS_FORMAT_RAW, limite, creado);
}

QString motivoCola(const QStringList& razones, const QString& mensaje) {
    const auto hay = [&](const char* prefijo) {
        return std::any_of(razones.begin(), razones.end(),
                           [&](const QString& r) { return r.startsWith(QLatin1String(prefijo)); });
    };
    if (hay("media-empty") || hay("media-needed"))
        return QStringLiteral("sin papel");
    if (hay("cover-open") || hay("door-open"))
        return QStringLiteral("tapa abierta");
    if (hay("offline") || hay("connecting-to-device") || hay("timed-out"))
        return QStringLiteral("desconectada");
    return mensaje.isEmpty() ? QStringLiteral("detenida") : QStringLiteral("detenida: ") + mensaje;
}

EstadoCola consultarTrabajoCups(const QString& impresora, int trabajo, std::chrono::milliseconds limite) {
    Conexion http = conectar(limite);
    ipp_t* peticion = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(peticion, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uriCola(impresora).toUtf8());
    ippAddInteger(peticion, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", trabajo);
    const RespuestaIpp deTrabajo(cupsDoRequest(http.get(), peticion, "/"));
    if (!deTrabajo)
        fallaCups(QStringLiteral("CUPS no respondio: ") + ultimoErrorCups());
    // Finished jobs stay in CUPS's history (across restarts too, with their numbers) until it is cleared: a
    // job it does not know may have printed long ago, so it is never taken as one that failed.
    if (ippGetStatusCode(deTrabajo.get()) == IPP_STATUS_ERROR_NOT_FOUND)
        return {EstadoCola::Fin::Desconocido, QStringLiteral("CUPS ya no conoce el trabajo %1").arg(trabajo)};
    if (ippGetStatusCode(deTrabajo.get()) > IPP_STATUS_OK_CONFLICTING)
        fallaCups(QStringLiteral("CUPS no respondio: ") + ultimoErrorCups());
    ipp_attribute_t* a = ippFindAttribute(deTrabajo.get(), "job-state", IPP_TAG_ENUM);
    const int estado = a ? ippGetInteger(a, 0) : IPP_JSTATE_PENDING;
    if (estado == IPP_JSTATE_COMPLETED)
        return {EstadoCola::Fin::Impreso, {}};
    if (estado == IPP_JSTATE_CANCELED || estado == IPP_JSTATE_ABORTED)
        return {EstadoCola::Fin::Fallido, QStringLiteral("trabajo cancelado")};

    peticion = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(peticion, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uriCola(impresora).toUtf8());
    const RespuestaIpp deCola(cupsDoRequest(http.get(), peticion, "/"));
    if (!deCola)
        fallaCups(QStringLiteral("CUPS no respondio: ") + ultimoErrorCups());
    a = ippFindAttribute(deCola.get(), "printer-state", IPP_TAG_ENUM);
    const bool detenida = a && ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
    if (!detenida && estado != IPP_JSTATE_STOPPED && estado != IPP_JSTATE_HELD)
        return {};
    QString mensaje;
    if (ipp_attribute_t* m = ippFindAttribute(deCola.get(), "printer-state-message", IPP_TAG_TEXT))
        mensaje = QString::fromUtf8(ippGetString(m, 0, nullptr)).trimmed();
    return {EstadoCola::Fin::Fallido, motivoCola(palabras(deCola.get(), "printer-state-reasons"), mensaje)};
}

void cancelarTrabajoCups(const QString& impresora, int trabajo, std::chrono::milliseconds limite) {
    // Job 0 would be every job of the queue.
    if (trabajo <= 0)
        return;
    Conexion http = conectar(limite);
    if (!cupsCancelJob2(http.get(), cola(impresora).constData(), trabajo, 0) &&
        cupsLastError() != IPP_STATUS_ERROR_NOT_POSSIBLE && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
        fallaCups(QStringLiteral("No se pudo cancelar el trabajo ") + QString::number(trabajo) + QStringLiteral(": ") +
                  ultimoErrorCups());
}

int imprimirEnCola(const QString& impresora, const DocumentoGrabado& documento, const QString& titulo,
                   const std::atomic_bool& abandonada, std::chrono::milliseconds limite, std::atomic<qint64>* creado) {
    QPageLayout pagina;
    {
        QPrinter cola(QPrinter::HighResolution);
        cola.setPrinterName(impresora);
        // With no scheduler, or a name CUPS does not know, QPrinter quietly turns into a PDF file printer.
        if (cola.outputFormat() != QPrinter::NativeFormat || cola.printerName() != impresora || !cola.isValid())
            fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no existe en CUPS"));
        pagina = cola.pageLayout();
    }
    // The PDF is made here and sent with libcups rather than by QPrinter, which never tells the job's number.
    QTemporaryFile pdf;
    if (!pdf.open())
        fallaImpresora(QStringLiteral("No se pudo preparar el trabajo para ") + impresora);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf.fileName());
    printer.setPageLayout(pagina);
    printer.setDocName(titulo);
    printer.setCreator(QStringLiteral("Kestrel"));
    printer.setFullPage(false);
    if (abandonada)
        return 0;
    pintarEnImpresora(printer, documento, impresora);
    if (abandonada)
        return 0;
    return enviarTrabajo(impresora, pdf.readAll(), titulo.toUtf8().constData(), CUPS_FORMAT_PDF, limite, creado);
}

} // namespace kestrel
