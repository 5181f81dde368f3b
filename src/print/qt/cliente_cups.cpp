#include "print/qt/cliente_cups.h"

#include <QPainter>
#include <QPrinter>

#include <cups/cups.h>

#include <memory>

#include "json/fallo.h"
#include "print/qt/pintor.h"

namespace kestrel {

namespace {

QString ultimoErrorCups() {
    return QString::fromUtf8(cupsLastErrorString());
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
        fallaImpresora(QStringLiteral("No se pudo conectar con el servicio de impresion (CUPS)"));
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
        fallaImpresora(QStringLiteral("CUPS no entrego la lista de impresoras: ") + ultimoErrorCups());
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
        fallaImpresora(QStringLiteral("CUPS no respondio: ") + ultimoErrorCups());
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

void enviarCrudo(const QString& impresora, const QByteArray& datos, std::chrono::milliseconds limite) {
    Conexion http = conectar(limite);
    const QByteArray nombre = cola(impresora);
    const int trabajo = cupsCreateJob(http.get(), nombre.constData(), "Kestrel", 0, nullptr);
    if (trabajo == 0)
        fallaImpresora(QStringLiteral("CUPS no acepto el trabajo para ") + impresora + QStringLiteral(": ") +
                       ultimoErrorCups());
    bool enviado =
        cupsStartDocument(http.get(), nombre.constData(), trabajo, "cajon", CUPS_FORMAT_RAW, 1) == HTTP_STATUS_CONTINUE;
    enviado = enviado && cupsWriteRequestData(http.get(), datos.constData(), static_cast<size_t>(datos.size())) ==
                             HTTP_STATUS_CONTINUE;
    enviado = cupsFinishDocument(http.get(), nombre.constData()) == IPP_STATUS_OK && enviado;
    if (!enviado) {
        const QString razon = ultimoErrorCups();
        cupsCancelJob2(http.get(), nombre.constData(), trabajo, 0);
        fallaImpresora(QStringLiteral("No se pudo enviar a ") + impresora + QStringLiteral(": ") + razon);
    }
}

void imprimirEnCola(const QString& impresora, const DocumentoGrabado& documento, const QString& titulo,
                    const std::atomic_bool& abandonada) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(impresora);
    // With no scheduler, or a name CUPS does not know, QPrinter quietly turns into a PDF file printer.
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != impresora || !printer.isValid())
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" no existe en CUPS"));
    printer.setDocName(titulo);
    printer.setCreator(QStringLiteral("Kestrel"));
    printer.setFullPage(false);
    if (abandonada)
        return;
    QPainter pintor;
    if (!pintor.begin(&printer))
        fallaImpresora(QStringLiteral("No se pudo abrir un trabajo en ") + impresora);
    LienzoPagina lienzo;
    lienzo.puntosPorPulgada = printer.resolution();
    lienzo.altoPagina = printer.pageLayout().paintRect(QPageLayout::Inch).height() * twipsPorPulgada;
    lienzo.nuevaPagina = [&printer] { return printer.newPage(); };
    pintarDocumento(pintor, documento, lienzo);
    if (abandonada) {
        printer.abort();
        pintor.end();
        return;
    }
    if (!pintor.end() || printer.printerState() == QPrinter::Error)
        fallaImpresora(QStringLiteral("No se pudo enviar el trabajo a ") + impresora);
}

} // namespace kestrel
