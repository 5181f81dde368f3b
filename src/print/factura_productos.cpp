#include "print/factura_productos.h"

#include <QStringList>

#include "print/diseno.h"
#include "print/factura_lineas.h"

namespace kestrel {

namespace {

void imprimirProducto(ContextoImpresion& ctx, Dictionary& producto) {
    const Valor valor = producto.item(QStringLiteral("Valor"));
    // Courtesies and returned items come with 0 or a negative amount and are left off the invoice entirely;
    // a null amount is skipped the same way rather than failing the whole invoice.
    if (valor.esNulo() || numeroDe(ctx, valor) <= Decimal(0))
        return;

    const int ancho = anchoRollo(ctx);
    const QString nombre = textoUnido(ctx, producto.item(QStringLiteral("NombreProducto")));
    const Decimal cantidad = numeroDe(ctx, producto.item(QStringLiteral("Cantidad"))).abs();
    imprimirLineaProducto(ctx, cantidad, nombre, 6, 20, textoImporte(ctx, numeroDe(ctx, valor)));

    const Valor detalle = producto.item(QStringLiteral("Detalle"));
    if (detalle.esNulo())
        return;
    const QStringList notas = textoUnido(ctx, detalle).split(QStringLiteral("<br/>"));
    for (const QString& nota : notas) {
        if (quitarBlancos(nota).isEmpty())
            continue;
        QString linea = QStringLiteral("-> ") + nota;
        int anchoNota = ancho;
        imprimirTextoMedido(ctx, linea, anchoNota, 0, 0);
    }
}

} // namespace

void imprimirProductos(ContextoImpresion& ctx, Collection& pedido) {
    const int ancho = anchoRollo(ctx);
    ctx.impresora().fijarNombreFuente(fuenteFactura);
    imprimirSeparador(ctx, QLatin1Char('='));
    ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("CANT")),
                              ElementoLinea::deColumna(escalarColumna(ctx, 9)),
                              ElementoLinea::deTexto(QStringLiteral("PRODUCTO")),
                              ElementoLinea::deColumna(espacioLibre(QStringLiteral("TOTAL"), ancho)),
                              ElementoLinea::deTexto(QStringLiteral("TOTAL"))});
    imprimirLinea(ctx, QString());
    for (int i = 1; i <= pedido.count(); ++i)
        imprimirProducto(ctx, pedido.item(i).comoDictionary());
    imprimirSeparador(ctx, QLatin1Char('='));
}

} // namespace kestrel
