#include "print/factura_lineas.h"

#include "json/formato_numero.h"
#include "print/diseno.h"

namespace kestrel {

bool igualTexto(const Valor& valor, QStringView texto) {
    if (valor.esVacio())
        return texto.isEmpty();
    return valor.esTexto() && valor.texto() == texto;
}

QString textoUnido(const ContextoImpresion& ctx, const Valor& valor) {
    return valor.comoTexto(ctx.locale);
}

Decimal numeroDe(const ContextoImpresion& ctx, const Valor& valor) {
    return valor.comoNumero(ctx.locale);
}

ElementoLinea elementoValor(const ContextoImpresion& ctx, const Valor& valor) {
    switch (valor.tipo()) {
    case TipoValor::Numero:
        return ElementoLinea::deNumero(valor.numero());
    case TipoValor::Vacio:
    case TipoValor::Nulo:
        // A null printed on its own would read "Null" on the customer's paper; nothing is kinder.
        return ElementoLinea::deTexto(QString());
    default:
        return ElementoLinea::deTexto(valor.comoTexto(ctx.locale));
    }
}

QString textoImporte(const ContextoImpresion& ctx, const Decimal& importe) {
    return formato::textoImporte(importe, ctx.locale);
}

void imprimirLineaImporte(ContextoImpresion& ctx, const QString& etiqueta, const Decimal& importe) {
    const QString cifra = textoImporte(ctx, importe);
    ctx.impresora().imprimir({ElementoLinea::deTexto(etiqueta),
                              ElementoLinea::deColumna(espacioLibre(cifra, anchoRollo(ctx))),
                              ElementoLinea::deTexto(cifra)});
}

} // namespace kestrel
