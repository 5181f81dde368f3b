#include "print/cajon.h"

#include "json/fallo.h"
#include "print/grabador.h"
#include "print/seleccion.h"
#include "print/tiquete.h"

namespace kestrel {

void abrirCajon(ContextoImpresion& ctx) {
    static const QByteArray pulso("\x1B\x70\x00\x3C\xF0", 5);
    empezarTrabajo(ctx, TipoTrabajo::Cajon, QStringLiteral("Facturas"));
    try {
        if (seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Facturas")), 0))
            ctx.impresoras.escribirCrudo(ctx.impresora().nombreDispositivo(), pulso);
    } catch (const FalloPlataforma& fallo) {
        fallarTrabajo(ctx, fallo.descripcion());
        // A drawer that does not open says so by staying shut; there is nobody at the screen to tell.
    }
    // The drawer prints nothing: a fallback notice left in the open document would otherwise come out on top
    // of the next ticket.
    descartarDocumento(ctx);
}

} // namespace kestrel
