#include "print/tiquete.h"

#include "json/fallo.h"
#include "json/formato_numero.h"
#include "print/avisos.h"
#include "print/configuracion.h"
#include "print/diseno.h"

namespace kestrel {

namespace {

QString cantidadTexto(ContextoImpresion& ctx, Dictionary& producto) {
    return formato::textoPlano(producto.item(QStringLiteral("cantidad")).comoNumero(ctx.locale).abs(), ctx.locale);
}

/// The notes under a product, one measured paragraph each; blank notes are skipped.
void imprimirDetalle(ContextoImpresion& ctx, Dictionary& producto) {
    const Collection& detalle = producto.item(QStringLiteral("detalle")).comoCollection();
    for (const Valor& nota : detalle.valores()) {
        const QString texto = nota.comoTexto(ctx.locale);
        if (!quitarBlancos(texto).isEmpty())
            parrafoMedido(ctx, QStringLiteral("-> ") + texto);
    }
}

/// Quantity, the words of the name that fit before the amount column, and the amount ending one column short
/// of the line; the rest of the name follows from column 5. Returns the line's amount.
Decimal imprimirProductoConPrecio(ContextoImpresion& ctx, Dictionary& producto, const QString& nombre) {
    const Decimal valor = producto.item(QStringLiteral("valor")).comoNumero(ctx.locale);
    const Decimal cantidad = producto.item(QStringLiteral("cantidad")).comoNumero(ctx.locale).abs();
    imprimirLineaProducto(ctx, cantidad, nombre, 7, 18, formato::textoImporte(valor, ctx.locale));
    return valor;
}

} // namespace

void tamano(ContextoImpresion& ctx, float puntos) {
    ctx.impresora().fijarTamanoFuente(puntos);
}

void fuenteNormal(ContextoImpresion& ctx) {
    Impresora& imp = ctx.impresora();
    imp.fijarNegrita(false);
    imp.fijarEnfasis(false);
    imp.fijarNombreFuente(fuenteComanda);
}

void lineaValor(ContextoImpresion& ctx, const Valor& v) {
    if (v.esNumero())
        ctx.impresora().imprimir({ElementoLinea::deNumero(v.numero())});
    else
        imprimirLinea(ctx, v.comoTexto(ctx.locale));
}

void parrafo(ContextoImpresion& ctx, QString texto) {
    imprimirTexto(ctx, texto, anchoRollo(ctx), 0, 0);
}

void parrafoMedido(ContextoImpresion& ctx, QString texto, int alineacion) {
    int ancho = anchoRollo(ctx);
    imprimirTextoMedido(ctx, texto, ancho, alineacion, 0);
}

bool preciosVisibles(ContextoImpresion& ctx) {
    return valorConfiguracion(ctx, QStringLiteral("Valores En Comanda")) == QLatin1String("1");
}

Decimal imprimirProductosTiquete(ContextoImpresion& ctx, const Valor& productos, bool conPrecios) {
    int contador = 0;
    Decimal total;
    for (const Valor& p : productos.comoCollection().valores()) {
        fuenteNormal(ctx);
        Dictionary& producto = p.comoDictionary();
        const Valor nombreValor = producto.item(QStringLiteral("nombre"));
        if (!tieneTexto(nombreValor))
            continue;
        const QString nombre = nombreValor.comoTexto(ctx.locale);
        tamano(ctx, 12);
        if (contador > 0)
            imprimirSeparador(ctx, QLatin1Char('-'));
        if (conPrecios && preciosVisibles(ctx))
            total = total + imprimirProductoConPrecio(ctx, producto, nombre);
        else
            parrafoMedido(ctx, cantidadTexto(ctx, producto) + QStringLiteral("   ") + nombre);
        imprimirDetalle(ctx, producto);
        ++contador;
    }
    return total;
}

void globoComandaEnviada(ContextoImpresion& ctx) {
    ctx.avisos.mostrarGlobo(QStringLiteral("Comanda enviada a ") + ctx.impresora().nombreDispositivo(),
                            iconoglobo::informacion, QStringLiteral("Impresion de comanda"), tiempoGlobo);
}

void descartarDocumento(ContextoImpresion& ctx) {
    try {
        ctx.impresora().descartarDocumento();
    } catch (const FalloPlataforma&) {
        // Nothing can be printed on a printer that cannot even drop its document.
    }
}

} // namespace kestrel
