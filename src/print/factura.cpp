#include "print/factura.h"

#include <QFileInfo>

#include "json/fallo.h"
#include "print/configuracion.h"
#include "print/diseno.h"
#include "print/factura_lineas.h"
#include "print/factura_logo.h"
#include "print/factura_productos.h"
#include "print/factura_secciones.h"
#include "print/factura_totales.h"
#include "print/grabador.h"
#include "print/seleccion.h"

namespace kestrel {

namespace {

void lineaBlanca(ContextoImpresion& ctx) {
    imprimirLinea(ctx, QStringLiteral(" "));
}

void lineaVacia(ContextoImpresion& ctx) {
    imprimirLinea(ctx, QString());
}

void imprimirCabecera(ContextoImpresion& ctx, Dictionary& dato) {
    const AjustesFactura& a = ctx.ajustes;
    const int ancho = anchoRollo(ctx);
    imprimirEncabezado(ctx, false);
    imprimirResolucion(ctx);
    if (!a.encabezadoDeFactura.isEmpty()) {
        QString encabezado = a.encabezadoDeFactura;
        int limite = ancho;
        imprimirTextoMedido(ctx, encabezado, limite, 2, 0);
    }

    const Valor tipoCuenta = dato.item(QStringLiteral("tipoCuenta"));
    if (tieneTexto(tipoCuenta)) {
        QString titulo = textoUnido(ctx, tipoCuenta).toUpper();
        imprimirTexto(ctx, titulo, ancho, 2, 0);
        lineaBlanca(ctx);
    }
    // A quotation is not an invoice and takes no number from the resolution's range.
    if (!igualTexto(tipoCuenta, u"COTIZACION")) {
        const Valor numero = dato.item(QStringLiteral("idFacturaCuenta"));
        Linea linea{ElementoLinea::deTexto(a.nombreFacturaCerrada + QStringLiteral(" No "))};
        if (!a.prefijoFactura.isEmpty())
            linea.append(ElementoLinea::deTexto(a.prefijoFactura + QLatin1Char('-') + textoUnido(ctx, numero)));
        else
            linea.append(elementoValor(ctx, numero));
        ctx.impresora().imprimir(linea);
    }
    ctx.impresora().imprimir({elementoValor(ctx, dato.item(QStringLiteral("nomMesa")))});
    const QString hora = a.mostrarHoraFactura
                             ? QStringLiteral(" Hora ") + textoUnido(ctx, dato.item(QStringLiteral("horaFactura")))
                             : QString();
    ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("Fecha ")),
                              elementoValor(ctx, dato.item(QStringLiteral("fechaFactura"))),
                              ElementoLinea::deTexto(hora)});
    if (a.mostrarMesero)
        imprimirLinea(ctx,
                      a.tituloVendedor + QStringLiteral("  ") + textoUnido(ctx, dato.item(QStringLiteral("vendedor"))));
}

void imprimirCuerpo(ContextoImpresion& ctx, Dictionary& dato) {
    imprimirProductos(ctx, dato.item(QStringLiteral("pedido")).comoCollection());
    const Decimal descuento = numeroDe(ctx, dato.item(QStringLiteral("descuento")));
    if (descuento > Decimal(0)) {
        const Decimal individual = numeroDe(ctx, dato.item(QStringLiteral("DescuentoIndividual")));
        const Decimal totalPagar = numeroDe(ctx, dato.item(QStringLiteral("totalPagar")));
        imprimirLineaImporte(ctx, QStringLiteral("SUB TOTAL"), totalPagar - individual);
        imprimirLineaImporte(ctx, QStringLiteral("Descuento en Ventas "), -(descuento - individual).abs());
        lineaVacia(ctx);
    }
    imprimirTotales(ctx, dato);
}

void imprimirPagos(ContextoImpresion& ctx, Dictionary& dato) {
    // Only the JSON value true marks the payments as present; the totals take any truth value.
    const Valor cerrada = dato.item(QStringLiteral("cuentaCerrada"));
    if (!(cerrada.esBooleano() && cerrada.booleano()))
        return;
    const bool domicilio = igualTexto(dato.item(QStringLiteral("tipoMesa")), u"DOMICILIO");
    lineaBlanca(ctx);
    Collection& medios = dato.item(QStringLiteral("mediosPago")).comoCollection();
    for (int i = 1; i <= medios.count(); ++i) {
        Dictionary& medio = medios.item(i).comoDictionary();
        // The first 14 characters of a payment's name are the service's own prefix, not for the customer.
        QString texto = textoUnido(ctx, medio.item(QStringLiteral("Producto"))).mid(14) + QLatin1Char(' ') +
                        textoUnido(ctx, medio.item(QStringLiteral("Detalle")));
        // On a delivery order the "tip" the service records is the delivery charge.
        if (domicilio && texto.toUpper().contains(QLatin1String("PROPINA")))
            texto.replace(QLatin1String("propina"), QLatin1String("domicilio"), Qt::CaseSensitive);
        imprimirLineaImporte(ctx, texto, numeroDe(ctx, medio.item(QStringLiteral("Valor"))).abs());
    }

    const Decimal totalPagado = numeroDe(ctx, dato.item(QStringLiteral("totalPagado")));
    if (!totalPagado.esCero()) {
        lineaVacia(ctx);
        imprimirLineaImporte(ctx, QStringLiteral("TOTAL PAGADO"),
                             totalPagado + numeroDe(ctx, dato.item(QStringLiteral("totalPagadoPropina"))));
    }
    const Decimal efectivo = numeroDe(ctx, dato.item(QStringLiteral("pagoEfectivo")));
    if (efectivo > Decimal(0)) {
        const Decimal cambio = numeroDe(ctx, dato.item(QStringLiteral("cambioEfectivo")));
        imprimirSeparador(ctx, QLatin1Char('='));
        imprimirLineaImporte(ctx, QStringLiteral("Efectivo Recibido"), efectivo + cambio);
        imprimirLineaImporte(ctx, QStringLiteral("Cambio Entregado"), cambio);
    }
}

void imprimirDomicilio(ContextoImpresion& ctx, Dictionary& dato, const Valor& cliente) {
    imprimirSeparador(ctx, QLatin1Char('='));
    ctx.impresora().fijarNegrita(true);
    imprimirLinea(ctx, QStringLiteral("DATOS DOMICILIO"));
    ctx.impresora().fijarNegrita(false);
    Dictionary& c = cliente.comoDictionary();
    imprimirLinea(ctx, QStringLiteral("Nombre: ") + textoUnido(ctx, c.item(QStringLiteral("Nombre"))));
    imprimirLinea(ctx,
                  QStringLiteral("Documento: ") + textoUnido(ctx, c.item(QStringLiteral("IdDocumento"))).toUpper());
    int ancho = anchoRollo(ctx);
    QString direccion = QStringLiteral("Direccion: ") + textoUnido(ctx, c.item(QStringLiteral("Direccion")));
    imprimirTextoMedido(ctx, direccion, ancho, 0, 0);
    imprimirLinea(ctx, QStringLiteral("Telefono: ") + textoUnido(ctx, c.item(QStringLiteral("Telefono1"))));
    ancho = anchoRollo(ctx);
    QString notas = textoUnido(ctx, dato.item(QStringLiteral("detalleDomicilio")));
    imprimirTextoMedido(ctx, notas, ancho, 0, 0);
}

void imprimirDatosCliente(ContextoImpresion& ctx, const Valor& cliente) {
    Dictionary& c = cliente.comoDictionary();
    const Valor nombre = c.item(QStringLiteral("Nombre"));
    if (nombre.esNulo() || igualTexto(nombre, u""))
        return;
    imprimirSeparador(ctx, QLatin1Char('='));
    imprimirLinea(ctx, QStringLiteral("Nombre: ") + textoUnido(ctx, nombre).toUpper());
    imprimirLinea(ctx,
                  QStringLiteral("Documento: ") + textoUnido(ctx, c.item(QStringLiteral("IdDocumento"))).toUpper());
    int ancho = anchoRollo(ctx);
    QString direccion = QStringLiteral("Dirección: ") + textoUnido(ctx, c.item(QStringLiteral("Direccion"))).toUpper();
    imprimirTextoMedido(ctx, direccion, ancho, 0, 0);
    imprimirLinea(ctx, QStringLiteral("Telefono: ") + textoUnido(ctx, c.item(QStringLiteral("Telefono1"))).toUpper());
    for (int i = 0; i < 4; ++i)
        lineaBlanca(ctx);
    imprimirLinea(ctx, QStringLiteral("FIRMA: _____________________________"));
    imprimirLinea(ctx, QStringLiteral("C.C.: ______________________________"));
}

// The customer block is the one place where a malformed payload does not cost the invoice: what could be
// printed of it stays, and the invoice goes on with the signature space.
void imprimirCliente(ContextoImpresion& ctx, Dictionary& dato) {
    const Valor cliente = dato.item(QStringLiteral("cliente"));
    if (cliente.esNulo())
        return;
    try {
        if (igualTexto(dato.item(QStringLiteral("tipoMesa")), u"DOMICILIO"))
            imprimirDomicilio(ctx, dato, cliente);
        else
            imprimirDatosCliente(ctx, cliente);
    } catch (const FalloPlataforma& fallo) {
        ctx.avisos.registrar(QStringLiteral("Factura: datos del cliente incompletos (%1 - %2)")
                                 .arg(fallo.numero())
                                 .arg(fallo.descripcion()));
    }
}

void imprimirEspacioCliente(ContextoImpresion& ctx, Dictionary& dato) {
    if (dato.item(QStringLiteral("cliente")).esNulo() || !ctx.ajustes.espacioClienteCuenta)
        return;
    lineaBlanca(ctx);
    if (esRollo55(ctx)) {
        imprimirLinea(ctx, QStringLiteral("NOMBRE: ________________________"));
        imprimirLinea(ctx, QStringLiteral("CEDULA: ________________________"));
        imprimirLinea(ctx, QStringLiteral("DIRECCION: _____________________"));
    } else {
        imprimirLinea(ctx, QStringLiteral("NOMBRE: _____________________________"));
        imprimirLinea(ctx, QStringLiteral("CEDULA: _____________________________"));
        imprimirLinea(ctx, QStringLiteral("DIRECCION: __________________________"));
    }
}

void imprimirCierre(ContextoImpresion& ctx, Dictionary& dato) {
    const AjustesFactura& a = ctx.ajustes;
    const bool domicilio = igualTexto(dato.item(QStringLiteral("tipoMesa")), u"DOMICILIO");
    if (a.leyendaPropinaCuenta && a.aplicaPropina && !domicilio &&
        numeroDe(ctx, dato.item(QStringLiteral("propinaSugerida"))) +
                numeroDe(ctx, dato.item(QStringLiteral("totalPagadoPropina"))) >
            Decimal(0))
        imprimirLeyendaPropina(ctx);

    // Both footers wrap at 35 characters whatever the roll.
    QString pie = quitarBlancos(a.pieDeFactura);
    if (!pie.isEmpty()) {
        lineaVacia(ctx);
        imprimirSeparador(ctx, QLatin1Char('='));
        imprimirTexto(ctx, pie, 35, 0, 0);
    }
    const Valor pieServicio = dato.item(QStringLiteral("pieFactura"));
    if (tieneTexto(pieServicio)) {
        lineaVacia(ctx);
        QString texto = textoUnido(ctx, pieServicio);
        imprimirTexto(ctx, texto, 35, 2, 0);
    }

    lineaBlanca(ctx);
    // Lets the window repaint and its timers tick during a long invoice. The link keeps any message that
    // arrives now for after this invoice, so nothing is printed into the open document.
    if (ctx.cederEventos)
        ctx.cederEventos();

    if (a.mostrarPermanencia)
        imprimirLinea(ctx, QStringLiteral("Permanencia  ") + textoUnido(ctx, dato.item(QStringLiteral("permanencia"))) +
                               QStringLiteral("  Minutos "));
    if (a.mostrarPersonas)
        imprimirLinea(ctx, QStringLiteral("Personas ") + textoUnido(ctx, dato.item(QStringLiteral("nPersonas"))));
    const Valor fechaLimite = dato.item(QStringLiteral("fechaLimitePago"));
    if (tieneTexto(fechaLimite))
        imprimirLinea(ctx, QStringLiteral("Fecha para pago ") + textoUnido(ctx, fechaLimite));
    imprimirPieSoftware(ctx);
    // Feed the paper past the cutter.
    for (int i = 0; i < 10; ++i)
        lineaBlanca(ctx);
}

} // namespace

void imprimirFactura(ContextoImpresion& ctx, const Valor& dato) {
    if (!impresoraDisponible(ctx))
        return;
    cargarConfiguracion(ctx);
    Dictionary& factura = dato.comoDictionary();
    if (igualTexto(factura.item(QStringLiteral("mesa")), u""))
        return;

    empezarTrabajo(ctx, TipoTrabajo::Factura, impresoraPredeterminada(ctx));
    try {
        if (!seleccionarImpresora(ctx, indiceImpresora(ctx, impresoraPredeterminada(ctx)), 0))
            return;
        if (QFileInfo::exists(rutaLogo(ctx)))
            imprimirLogo(ctx);
        Impresora& impresora = ctx.impresora();
        impresora.fijarTamanoFuente(tamanoPequeno(ctx));
        impresora.fijarNombreFuente(fuenteFactura);

        imprimirCabecera(ctx, factura);
        imprimirCuerpo(ctx, factura);
        imprimirPagos(ctx, factura);
        imprimirCliente(ctx, factura);
        imprimirEspacioCliente(ctx, factura);
        imprimirCierre(ctx, factura);
        impresora.finDocumento();
    } catch (...) {
        try {
            throw;
        } catch (const FalloPlataforma& fallo) {
            fallarTrabajo(ctx, fallo.descripcion());
        } catch (...) {
            // Any other failure is recorded by the discard below as an incomplete document.
        }
        // Left open, the half invoice would go out glued to the front of the next document on this printer.
        try {
            ctx.impresora().descartarDocumento();
        } catch (...) {
            // The invoice's own failure is the one worth reporting.
        }
        throw;
    }

    ctx.avisos.mostrarGlobo(QStringLiteral("Factura enviada a ") + ctx.impresora().nombreDispositivo(),
                            iconoglobo::informacion, QStringLiteral("Impresion de Factura"), tiempoGlobo);
}

} // namespace kestrel
