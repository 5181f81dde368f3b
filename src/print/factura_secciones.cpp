#include "print/factura_secciones.h"

#include <functional>

#include "json/fallo.h"
#include "print/configuracion.h"
#include "print/diseno.h"
#include "print/factura_lineas.h"

#ifndef KESTREL_PROVEEDOR_NIT
#error "KESTREL_PROVEEDOR_NIT must come from the build (CMake cache variable of the same name)"
#endif
#ifndef KESTREL_PROVEEDOR_WEB
#error "KESTREL_PROVEEDOR_WEB must come from the build (CMake cache variable of the same name)"
#endif

namespace kestrel {

namespace {

// The header is best effort: one unreadable setting must not cost the customer the rest of the header.
void sinDetenerse(const std::function<void()>& paso) {
    try {
        paso();
    } catch (const FalloPlataforma&) {
    }
}

void lineaCentradaMedida(ContextoImpresion& ctx, QString& texto) {
    int ancho = anchoRollo(ctx);
    imprimirTextoMedido(ctx, texto, ancho, 2, 0);
}

void lineaCentrada(ContextoImpresion& ctx, QString texto) {
    imprimirTexto(ctx, texto, anchoRollo(ctx), 2, 0);
}

} // namespace

void imprimirEncabezado(ContextoImpresion& ctx, bool conFecha) {
    AjustesFactura& a = ctx.ajustes;
    // Never empty: it holds its two joining blanks even when all three parts are.
    QString representante = a.nombreRepresentante + QLatin1Char(' ') + a.apellido1Representante + QLatin1Char(' ') +
                            a.apellido2Representante;
    sinDetenerse([&] { imprimirSeparador(ctx, QLatin1Char('=')); });

    // Where a setting is printed as it stands it is handed over itself, so the paragraph printer leaves it
    // upper-cased until the next invoice loads the settings again.
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Nombre Establecimiento")) && !a.nombreEstablecimiento.isEmpty())
            lineaCentradaMedida(ctx, a.nombreEstablecimiento);
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Actividad Economica")) && !a.actividadEconomica.isEmpty())
            lineaCentradaMedida(ctx, a.actividadEconomica);
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Codigo Actividad Economica")) &&
            !a.codigoActividadEconomica.isEmpty()) {
            QString texto = QStringLiteral("Codigo Actividad Economica ") + a.codigoActividadEconomica;
            lineaCentradaMedida(ctx, texto);
        }
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Numero Identificacion")) && !a.numeroIdentificacion.isEmpty()) {
            QString texto = a.tipoIdentificacion + QLatin1Char(' ') + a.numeroIdentificacion;
            lineaCentradaMedida(ctx, texto);
        }
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Nombre Representante Legal")) && !representante.isEmpty())
            lineaCentradaMedida(ctx, representante);
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Direccion")) && !a.direccion.isEmpty())
            lineaCentradaMedida(ctx, a.direccion);
    });
    sinDetenerse([&] {
        if (configuracionVisible(ctx, QStringLiteral("Telefono 1")) && !a.telefono1.isEmpty()) {
            QString texto = QStringLiteral("Tel ") + a.telefono1;
            lineaCentradaMedida(ctx, texto);
        }
    });
    if (conFecha) {
        sinDetenerse([&] {
            const QDateTime ahora = ctx.ahora();
            imprimirLinea(ctx, QStringLiteral("Fecha ") + ahora.toString(QStringLiteral("yyyy-MM-dd")) +
                                   QStringLiteral(" Hora ") + ahora.toString(QStringLiteral("HH:mm:ss")));
        });
    }
}

void imprimirResolucion(ContextoImpresion& ctx) {
    const AjustesFactura& a = ctx.ajustes;
    const QString prefijo = a.prefijoFactura.isEmpty() ? QString() : a.prefijoFactura + QLatin1Char('-');
    imprimirLinea(ctx, QStringLiteral(" "));
    // The regime line shows when "Regimen" is visible, but its wording is the separate "Nombre Regimen".
    if (configuracionVisible(ctx, QStringLiteral("Regimen"))) {
        QString nombre = valorConfiguracion(ctx, QStringLiteral("Nombre Regimen"));
        lineaCentradaMedida(ctx, nombre);
    }
    if (configuracionVisible(ctx, QStringLiteral("Resolucion Dian Facturacion")))
        lineaCentrada(ctx, QStringLiteral("Resolucion DIAN ") + a.resolucionDian);
    if (configuracionVisible(ctx, QStringLiteral("Resolucion Dian Facturacion")))
        lineaCentrada(ctx, QStringLiteral(" Del ") + a.fechaResolucionDian);
    if (configuracionVisible(ctx, QStringLiteral("Factura Inicial")))
        lineaCentrada(ctx, QStringLiteral("Desde ") + prefijo + a.facturaInicial + QStringLiteral(" Hasta ") + prefijo +
                               a.facturaFinal);
    imprimirSeparador(ctx, QLatin1Char('='));
}

void imprimirLeyendaPropina(ContextoImpresion& ctx) {
    // Wording required by the consumer protection authority; the double blanks collapse when printed.
    static const char16_t* const partes[] = {
        u"Por disposición de la Superintendencia ",   u"de Industria y Comercio, se informa que  ",
        u"en este establecimiento la propina es  ",   u"sugerida al consumidor y corresponde  ",
        u"al 10% del total de la factura, el cual  ", u"puede ser aceptado, modificado o  ",
        u"rechazado por usted de acuerdo con  ",      u"valoración del servicio prestado, si no  ",
        u"desea cancelar este valor, haga caso  ",    u"omiso del mismo.",
    };
    imprimirSeparador(ctx, QLatin1Char('='));
    QString leyenda;
    for (const char16_t* parte : partes)
        leyenda += QString::fromUtf16(parte);
    int ancho = anchoRollo(ctx);
    imprimirTextoMedido(ctx, leyenda, ancho, 0, 0);
}

void imprimirPieSoftware(ContextoImpresion& ctx) {
    imprimirSeparador(ctx, QLatin1Char('='));
    // "Kestrelin" is the product line's printed name, exactly as invoices have always carried it.
    imprimirLinea(ctx, QStringLiteral("Software Kestrelin"));
    imprimirLinea(ctx, QString::fromUtf8(KESTREL_PROVEEDOR_NIT));
    imprimirLinea(ctx, QString::fromUtf8(KESTREL_PROVEEDOR_WEB));
    imprimirSeparador(ctx, QLatin1Char('='));
}

} // namespace kestrel
