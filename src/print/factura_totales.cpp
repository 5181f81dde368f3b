#include "print/factura_totales.h"

#include "json/formato_numero.h"
#include "print/diseno.h"
#include "print/factura_lineas.h"

namespace kestrel {

namespace {

// The bold size-15 total some branches ask for; the roll's own size comes back right after it.
void imprimirResaltado(ContextoImpresion& ctx, const QString& texto) {
    Impresora& impresora = ctx.impresora();
    impresora.fijarTamanoFuente(15.0F);
    impresora.fijarNegrita(true);
    imprimirLinea(ctx, texto);
    impresora.fijarTamanoFuente(tamanoPequeno(ctx));
    impresora.fijarNegrita(false);
}

// "mesa" carries a table number, or an order reference for delivery platforms; only a numeric one counts.
Decimal mesaComoNumero(const ContextoImpresion& ctx, const Valor& mesa) {
    if (mesa.esNumero())
        return mesa.numero();
    if (mesa.esTexto()) {
        if (auto n = formato::leerNumero(mesa.texto(), ctx.locale))
            return *n;
    }
    return Decimal(0);
}

void imprimirImpuestos(ContextoImpresion& ctx, Collection& impuestos) {
    const int ancho = anchoRollo(ctx);
    const int bordeBase = escalarColumna(ctx, 30);
    imprimirLinea(ctx, QStringLiteral(" "));
    imprimirSeparador(ctx, QLatin1Char('='));
    ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("IMPUESTO")),
                              ElementoLinea::deColumna(bordeBase - 4), ElementoLinea::deTexto(QStringLiteral("BASE")),
                              ElementoLinea::deColumna(ancho - 5), ElementoLinea::deTexto(QStringLiteral("VALOR"))});
    for (int i = 1; i <= impuestos.count(); ++i) {
        Dictionary& impuesto = impuestos.item(i).comoDictionary();
        const QString nombre = textoUnido(ctx, impuesto.item(QStringLiteral("nombre"))).toUpper();
        const QString base = textoImporte(ctx, numeroDe(ctx, impuesto.item(QStringLiteral("base"))));
        const QString valor = textoImporte(ctx, numeroDe(ctx, impuesto.item(QStringLiteral("valor"))));
        ctx.impresora().imprimir({ElementoLinea::deTexto(nombre),
                                  ElementoLinea::deColumna(espacioLibre(base, bordeBase)), ElementoLinea::deTexto(base),
                                  ElementoLinea::deColumna(espacioLibre(valor, ancho)), ElementoLinea::deTexto(valor)});
    }
}

} // namespace

void imprimirTotales(ContextoImpresion& ctx, Dictionary& dato) {
    const AjustesFactura& a = ctx.ajustes;
    const Decimal cero(0);
    const Decimal propinaSugerida = numeroDe(ctx, dato.item(QStringLiteral("propinaSugerida")));
    const Decimal totalPagadoPropina = numeroDe(ctx, dato.item(QStringLiteral("totalPagadoPropina")));
    const Decimal cupones = numeroDe(ctx, dato.item(QStringLiteral("CntGroupon")));
    const bool domicilio = igualTexto(dato.item(QStringLiteral("tipoMesa")), u"DOMICILIO");
    const bool cerrada = dato.item(QStringLiteral("cuentaCerrada")).comoBooleano(ctx.locale);
    const Decimal totalPagado = numeroDe(ctx, dato.item(QStringLiteral("totalPagado")));
    const Decimal totalPagar = numeroDe(ctx, dato.item(QStringLiteral("totalPagar")));
    const Decimal descuento = numeroDe(ctx, dato.item(QStringLiteral("descuento")));

    const bool contextoPropina = (domicilio || (a.aplicaPropina && a.valorServicio >= 1)) &&
                                 (propinaSugerida > cero || totalPagadoPropina > cero || cupones > cero);

    if (contextoPropina) {
        // Nothing in the payload says how much tip a coupon platform pays per coupon; the agent is told.
        const Decimal propinaCupones = cupones * ctx.propinaCupon;
        Decimal total;
        if (cerrada) {
            if (totalPagadoPropina > cero) {
                imprimirLineaImporte(ctx, QStringLiteral("SUB TOTAL"), totalPagado);
                if (domicilio) {
                    imprimirLineaImporte(ctx, a.conceptoDomicilio.toUpper(), totalPagadoPropina);
                } else if (cupones > cero) {
                    imprimirLineaImporte(ctx, QStringLiteral("PROPINA GROUPON "), propinaCupones);
                    imprimirLineaImporte(ctx, QStringLiteral("PROPINA  "), totalPagadoPropina - propinaCupones);
                } else {
                    imprimirLineaImporte(ctx, QStringLiteral("PROPINA"), totalPagadoPropina);
                }
            }
            total = totalPagado + totalPagadoPropina;
        } else {
            imprimirLineaImporte(ctx, QStringLiteral("SUB TOTAL"), totalPagar - descuento);
            // Delivery platforms send their orders with references above 2000 in place of a table.
            if (mesaComoNumero(ctx, dato.item(QStringLiteral("mesa"))) > Decimal(2000)) {
                imprimirLineaImporte(ctx, a.conceptoDomicilio.toUpper() + QLatin1Char(' '), propinaSugerida);
            } else if (!a.opcionPropina5y10) {
                imprimirLineaImporte(ctx, QStringLiteral("PROPINA SUGERIDA "), propinaSugerida);
                if (cupones > cero)
                    imprimirLineaImporte(ctx, QStringLiteral("PROPINA GROUPON "), propinaCupones);
            } else {
                imprimirLineaImporte(ctx, QStringLiteral("__ APRUEBA PROPINA 10% "), propinaSugerida);
                imprimirLineaImporte(ctx, QStringLiteral("__ APRUEBA PROPINA 5% "), propinaSugerida / Decimal(2));
                const QString raya = QStringLiteral("_____________");
                ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("__ OTRO VALOR ")),
                                          ElementoLinea::deColumna(espacioLibre(raya, anchoRollo(ctx))),
                                          ElementoLinea::deTexto(raya)});
            }
            total = totalPagar + propinaSugerida - descuento;
        }
        // With the 5 % / 10 % choice the guest decides the tip, so no total can be printed.
        if (!a.opcionPropina5y10) {
            if (a.resaltarTotal)
                imprimirResaltado(ctx, QStringLiteral("** TOTAL ") + textoImporte(ctx, total) + QStringLiteral(" **"));
            else
                imprimirLineaImporte(ctx, QStringLiteral("TOTAL"), total);
        }
    } else if (a.resaltarTotal) {
        imprimirResaltado(ctx, QStringLiteral(" ** TOTAL ") + textoImporte(ctx, totalPagar - descuento) +
                                   QStringLiteral(" **"));
    } else {
        imprimirLineaImporte(ctx, QStringLiteral("TOTAL "), cerrada ? totalPagado : totalPagar - descuento);
    }

    Collection& impuestos = dato.item(QStringLiteral("impuestos")).comoCollection();
    if (a.regimen.toUpper() == QLatin1String("COMUN") && impuestos.count() >= 1)
        imprimirImpuestos(ctx, impuestos);
}

} // namespace kestrel
