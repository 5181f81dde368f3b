#include "print/anulacion.h"

#include "json/fallo.h"
#include "print/avisos.h"
#include "print/diseno.h"
#include "print/grabador.h"
#include "print/seleccion.h"
#include "print/tiquete.h"

namespace kestrel {

namespace {

void imprimirUnaAnulacion(ContextoImpresion& ctx, Dictionary& c) {
    const QString nombreArea = c.item(QStringLiteral("area")).comoTexto(ctx.locale);
    empezarTrabajo(ctx, TipoTrabajo::Anulacion, nombreArea);
    if (!seleccionarImpresora(ctx, indiceImpresora(ctx, nombreArea), 0))
        return;

    parrafoMedido(ctx, nombreArea, 2);
    fuenteNormal(ctx);
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 16);
    imprimirLinea(ctx, QStringLiteral("A N U L A C I O N!!"));
    lineaValor(ctx, c.item(QStringLiteral("nomMesa")));
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 12);

    imprimirProductosTiquete(ctx, c.item(QStringLiteral("productos")), false);

    tamano(ctx, 12);
    imprimirSeparador(ctx, QLatin1Char('='));
    imprimirLinea(ctx, QStringLiteral("Fecha\\Hora: "));
    imprimirLinea(ctx, ctx.ahora().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    tamano(ctx, tamanoPequeno(ctx));
    imprimirLinea(ctx, QStringLiteral(" "));
    imprimirLinea(ctx, QStringLiteral("."));
    ctx.impresora().finDocumento();
    globoComandaEnviada(ctx);
}

} // namespace

void imprimirAnulacion(ContextoImpresion& ctx, Collection& anulaciones) {
    if (!impresoraDisponible(ctx))
        return;
    try {
        tamano(ctx, tamanoPequeno(ctx));
        for (const Valor& c : anulaciones.valores())
            imprimirUnaAnulacion(ctx, c.comoDictionary());
    } catch (const FalloPlataforma& fallo) {
        // Tickets already ended stay printed; the open one is dropped and the failure goes to the caller's log.
        fallarTrabajo(ctx, fallo.descripcion());
        descartarDocumento(ctx);
        throw;
    }
}

} // namespace kestrel
