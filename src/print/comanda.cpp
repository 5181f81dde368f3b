#include "print/comanda.h"

#include "json/fallo.h"
#include "json/formato_numero.h"
#include "print/avisos.h"
#include "print/diseno.h"
#include "print/grabador.h"
#include "print/seleccion.h"
#include "print/tiquete.h"

namespace kestrel {

namespace {

void imprimirUnaComanda(ContextoImpresion& ctx, Dictionary& c) {
    const Valor area = c.item(QStringLiteral("area"));
    const QString nombreArea = area.comoTexto(ctx.locale);
    if (nombreArea == QLatin1String("NN") || nombreArea.isEmpty())
        return;
    empezarTrabajo(ctx, TipoTrabajo::Comanda, nombreArea);
    if (!seleccionarImpresora(ctx, indiceImpresora(ctx, nombreArea), 0))
        return;

    const Valor titulo = c.item(QStringLiteral("titulo"));
    if (!titulo.esNulo()) {
        tamano(ctx, tamanoPequeno(ctx));
        parrafoMedido(ctx, titulo.comoTexto(ctx.locale), 2);
        imprimirSeparador(ctx, QLatin1Char('='));
    }
    tamano(ctx, tamanoPequeno(ctx));
    parrafoMedido(ctx, nombreArea, 2);
    fuenteNormal(ctx);
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 16);
    lineaValor(ctx, c.item(QStringLiteral("nomMesa")));
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 12);

    const Decimal total = imprimirProductosTiquete(ctx, c.item(QStringLiteral("productos")), true);
    if (preciosVisibles(ctx)) {
        QString lineaTotal = QStringLiteral("TOTAL   ") + formato::textoPlano(total, ctx.locale);
        imprimirTexto(ctx, lineaTotal, anchoRollo(ctx), 1, 0);
    }

    tamano(ctx, 12);
    imprimirSeparador(ctx, QLatin1Char('='));
    parrafoMedido(ctx, QStringLiteral("Atiende: ") + c.item(QStringLiteral("responsable")).comoTexto(ctx.locale));
    imprimirLinea(ctx, QStringLiteral("Pedido ") + c.item(QStringLiteral("nPedido")).comoTexto(ctx.locale));
    imprimirLinea(ctx, QStringLiteral("Fecha\\Hora: "));
    lineaValor(ctx, c.item(QStringLiteral("fecha")));
    tamano(ctx, tamanoPequeno(ctx));

    const Valor cliente = c.item(QStringLiteral("clienteNombre"));
    if (tieneTexto(cliente)) {
        imprimirSeparador(ctx, QLatin1Char('='));
        parrafo(ctx, QStringLiteral("DATOS CLIENTE"));
        parrafo(ctx, QStringLiteral("Nombre: ") + cliente.comoTexto(ctx.locale));
        parrafo(ctx, QStringLiteral("Telefono: ") + c.item(QStringLiteral("clienteTelefono")).comoTexto(ctx.locale));
        parrafoMedido(ctx,
                      QStringLiteral("Direccion: ") + c.item(QStringLiteral("clienteDireccion")).comoTexto(ctx.locale));
    }
    tamano(ctx, 12);

    const Valor plataforma = c.item(QStringLiteral("codPlataforma"));
    if (tieneTexto(plataforma)) {
        imprimirSeparador(ctx, QLatin1Char('='));
        parrafo(ctx, plataforma.comoTexto(ctx.locale));
    }

    imprimirLinea(ctx, QStringLiteral(" "));
    imprimirLinea(ctx, QStringLiteral("."));
    ctx.impresora().finDocumento();
    globoComandaEnviada(ctx);
}

} // namespace

void imprimirComanda(ContextoImpresion& ctx, Collection& comandas) {
    try {
        if (!impresoraDisponible(ctx))
            return;
        for (const Valor& c : comandas.valores())
            imprimirUnaComanda(ctx, c.comoDictionary());
    } catch (const FalloPlataforma& fallo) {
        // Orders still to come are dropped, as the kitchen is told in the balloon; the half-printed ticket is
        // dropped too, or the next ticket on that printer would carry its lines.
        fallarTrabajo(ctx, fallo.descripcion());
        descartarDocumento(ctx);
        ctx.avisos.mostrarGlobo(fallo.descripcion(), iconoglobo::advertencia, QStringLiteral("Comanda"), tiempoGlobo);
    }
}

} // namespace kestrel
