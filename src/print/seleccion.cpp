#include "print/seleccion.h"

#include "json/fallo.h"
#include "print/diseno.h"
#include "print/grabador.h"

namespace kestrel {

namespace {

/// The failed printer's name for the error balloon; a printer that cannot even say its name is still
/// named as the system lists it.
QString nombreDe(ContextoImpresion& ctx, int indice) {
    try {
        return ctx.impresora().nombreDispositivo();
    } catch (const FalloPlataforma&) {
        return ctx.impresoras.impresoras().value(indice);
    }
}

} // namespace

bool mismaImpresora(const QString& a, const QString& b) {
    return quitarBlancos(a.toUpper()) == quitarBlancos(b.toUpper());
}

int buscarImpresora(const QStringList& nombres, const QString& nombre) {
    for (qsizetype i = 0; i < nombres.size(); ++i) {
        if (mismaImpresora(nombres[i], nombre))
            return static_cast<int>(i);
    }
    return -1;
}

QStringList listaNombres(const QString& texto) {
    QStringList nombres;
    for (const QString& n : texto.split(QLatin1Char(','))) {
        if (!n.trimmed().isEmpty())
            nombres << n.trimmed();
    }
    return nombres;
}

QString impresoraPredeterminada(ContextoImpresion& ctx) {
    return ctx.impresoras.predeterminada();
}

int indiceImpresora(ContextoImpresion& ctx, const QString& nombre) {
    const QStringList instaladas = ctx.impresoras.impresoras();
    const int indice = buscarImpresora(instaladas, nombre);
    if (indice >= 0)
        return indice;
    // The default printer is looked up once, not by asking again for it: when it is not installed either
    // there is no answer, and the document fails instead of retrying for ever.
    const QString predeterminada = impresoraPredeterminada(ctx);
    const int porDefecto = buscarImpresora(instaladas, predeterminada);
    if (porDefecto >= 0)
        return porDefecto;
    const QString detalle = quitarBlancos(predeterminada).isEmpty()
                                ? QStringLiteral(" y no hay impresora predeterminada")
                                : QStringLiteral(" ni la predeterminada ") + quitarBlancos(predeterminada);
    throw FalloPlataforma(numerofallo::errorImpresora,
                          QStringLiteral("No esta instalada la impresora ") + quitarBlancos(nombre) + detalle);
}

bool seleccionarImpresora(ContextoImpresion& ctx, int indice, int intento) {
    ctx.impresoras.seleccionar(indice);
    try {
        ctx.impresora().sondear();
    } catch (const FalloPlataforma& fallo) {
        bool resultado = false;
        if (intento == 0) {
            resultado = seleccionarImpresora(ctx, indiceImpresora(ctx, impresoraPredeterminada(ctx)), 1);
            if (resultado) {
                respaldoTrabajo(ctx, fallo.descripcion());
                Impresora& respaldo = ctx.impresora();
                respaldo.imprimir(
                    {ElementoLinea::deTexto(QStringLiteral("Error en Impresora ") + respaldo.nombreDispositivo())});
            }
        } else {
            fallarTrabajo(ctx, fallo.descripcion());
            // The failure's description appears twice in this balloon on purpose: it is the system's own text.
            ctx.avisos.mostrarGlobo(QStringLiteral("Error al imprimir, La impresora ") + nombreDe(ctx, indice) +
                                        QStringLiteral(" no esta disponible. ") + QStringLiteral("\r\n") +
                                        fallo.descripcion() + QLatin1Char(' ') + fallo.descripcion(),
                                    iconoglobo::error, QStringLiteral("Error al imprimir"), tiempoGlobo);
        }
        ctx.impresora().cerrarSondeo();
        return resultado;
    }
    try {
        ctx.impresora().cerrarSondeo();
    } catch (const FalloPlataforma&) {
        // A probe that went through already proved the printer usable.
    }
    return true;
}

bool impresoraDisponible(ContextoImpresion& ctx) {
    try {
        ctx.impresora().nombreDispositivo();
        return true;
    } catch (const FalloPlataforma&) {
        return false;
    }
}

} // namespace kestrel
