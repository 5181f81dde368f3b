#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

#include "json/decimal.h"
#include "json/valor.h"
#include "print/avisos.h"
#include "print/impresora.h"

namespace kestrel {

class GrabadorTrabajos;

/// Copies of the invoice settings, refreshed by cargarConfiguracion at the start of every invoice and kept
/// until the next one.
struct AjustesFactura {
    QString nombreRepresentante;
    QString apellido1Representante;
    QString apellido2Representante;
    QString nombreEstablecimiento;
    QString actividadEconomica;
    QString tipoIdentificacion;
    QString prefijoFactura;
    QString numeroIdentificacion;
    QString resolucionDian;
    QString fechaResolucionDian;
    QString facturaInicial;
    QString facturaFinal;
    QString regimen;
    QString codigoActividadEconomica;
    QString direccion;
    QString telefono1;
    QString pieDeFactura;
    QString encabezadoDeFactura;
    bool leyendaPropinaCuenta = false;
    bool espacioClienteCuenta = false;
    bool mostrarHoraFactura = false;
    bool mostrarPermanencia = false;
    bool mostrarPersonas = false;
    bool mostrarMesero = false;
    bool resaltarTotal = false;
    int valorServicio = 0;
    bool aplicaPropina = false;
    QString tituloVendedor;
    QString nombreFacturaCerrada;
    bool opcionPropina5y10 = false;
    QString conceptoDomicilio;
};

/// Everything the documents share for the whole run: the printers, the last "config" received, the invoice
/// settings, the way to the balloons and the log, and the application folder. One instance, owned by the
/// window (or by the preview), is handed to every document.
class ContextoImpresion {
public:
    ContextoImpresion(SistemaImpresion& impresoras, Avisos& avisos, QString carpetaAplicacion);

    SistemaImpresion& impresoras;
    Avisos& avisos;
    /// Folder of "logo.bmp" (and "Acceso").
    QString carpetaAplicacion;
    /// The "config" member of the last message that parsed cleanly; no object until the first one.
    Valor configuracion;
    AjustesFactura ajustes;
    /// Tip per coupon of a coupon platform ("CntGroupon"); nothing in the payload carries it.
    Decimal propinaCupon;
    /// Lets pending window events run once (the invoice yields before its closing lines). Empty in tests.
    std::function<void()> cederEventos;
    /// The machine's number format, used for every amount.
    QLocale locale;
    /// The PC's local clock, as the cancellation ticket stamps it. Empty means the real clock; tests pin it.
    std::function<QDateTime()> reloj;
    /// The journal's recorder, when documents are journaled (the agent); null in the preview and most tests.
    GrabadorTrabajos* grabador = nullptr;

    QDateTime ahora() const { return reloj ? reloj() : QDateTime::currentDateTime(); }

    Impresora& impresora() { return impresoras.actual(); }
};

} // namespace kestrel
