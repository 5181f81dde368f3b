#include "print/comanda.h"

#include "json/fallo.h"
#include "json/formato_numero.h"
#include "print/configuracion.h"
#include "print/diseno.h"
#include "print/seleccion.h"

namespace kestrel {

namespace {

constexpr int tiempoGlobo = 30000;
const QString fuenteComanda = QStringLiteral("Courier 17 CPI");

/// Absent, null or the empty text: the members the tickets leave out when there is nothing in them.
bool vacioONulo(const Valor& v) {
    return v.esVacio() || v.esNulo() || (v.esTexto() && v.texto().isEmpty());
}

float tamanoPequeno(ContextoImpresion& ctx) {
    return esRollo55(ctx) ? 7.0F : 10.0F;
}

void tamano(ContextoImpresion& ctx, float puntos) {
    ctx.impresora().fijarTamanoFuente(puntos);
}

void fuenteNormal(ContextoImpresion& ctx) {
    Impresora& imp = ctx.impresora();
    imp.fijarNegrita(false);
    imp.fijarEnfasis(false);
    imp.fijarNombreFuente(fuenteComanda);
}

void linea(ContextoImpresion& ctx, const QString& texto) {
    ctx.impresora().imprimir({ElementoLinea::deTexto(texto)});
}

/// A member printed on its own line as it came: a number follows the printer's rule for numbers.
void lineaValor(ContextoImpresion& ctx, const Valor& v) {
    if (v.esNumero())
        ctx.impresora().imprimir({ElementoLinea::deNumero(v.numero())});
    else
        linea(ctx, v.comoTexto(ctx.locale));
}

void parrafo(ContextoImpresion& ctx, QString texto) {
    imprimirTexto(ctx, texto, anchoRollo(ctx), 0, 0);
}

void parrafoMedido(ContextoImpresion& ctx, QString texto, int alineacion = 0) {
    int ancho = anchoRollo(ctx);
    imprimirTextoMedido(ctx, texto, ancho, alineacion, 0);
}

bool preciosVisibles(ContextoImpresion& ctx) {
    return valorConfiguracion(ctx, QStringLiteral("Valores En Comanda")) == QLatin1String("1");
}

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
    const int ancho = anchoRollo(ctx);
    const int corte = largoQueCabe(nombre, escalarColumna(ctx, 18));
    const Decimal valor = producto.item(QStringLiteral("valor")).comoNumero(ctx.locale);
    const QString valorTexto = formato::textoImporte(valor, ctx.locale);
    const Decimal cantidad = producto.item(QStringLiteral("cantidad")).comoNumero(ctx.locale).abs();
    ctx.impresora().imprimir({ElementoLinea::deNumero(cantidad), ElementoLinea::deColumna(escalarColumna(ctx, 7)),
                              ElementoLinea::deTexto(nombre.left(corte)),
                              ElementoLinea::deColumna(espacioLibre(valorTexto, ancho)),
                              ElementoLinea::deTexto(valorTexto)});
    if (nombre.size() > corte) {
        QString resto = nombre.mid(corte);
        imprimirTexto(ctx, resto, ancho, 0, 5);
    }
    return valor;
}

/// The products of a kitchen order or a cancellation, "-" lines between the ones printed. Returns the sum
/// of the printed amounts (zero without prices).
Decimal imprimirProductos(ContextoImpresion& ctx, const Valor& productos, bool conPrecios) {
    int contador = 0;
    Decimal total;
    for (const Valor& p : productos.comoCollection().valores()) {
        fuenteNormal(ctx);
        Dictionary& producto = p.comoDictionary();
        const Valor nombreValor = producto.item(QStringLiteral("nombre"));
        if (vacioONulo(nombreValor))
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

void globoEnviada(ContextoImpresion& ctx) {
    ctx.avisos.mostrarGlobo(QStringLiteral("Comanda enviada a ") + ctx.impresora().nombreDispositivo(),
                            iconoglobo::informacion, QStringLiteral("Impresion de comanda"), tiempoGlobo);
}

/// What a failed ticket left on the current printer must not be printed with the next one.
void descartar(ContextoImpresion& ctx) {
    try {
        ctx.impresora().descartarDocumento();
    } catch (const FalloPlataforma&) {
        // Nothing can be printed on a printer that cannot even drop its document.
    }
}

void imprimirUnaComanda(ContextoImpresion& ctx, Dictionary& c) {
    const Valor area = c.item(QStringLiteral("area"));
    const QString nombreArea = area.comoTexto(ctx.locale);
    if (nombreArea == QLatin1String("NN") || nombreArea.isEmpty())
        return;
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

    const Decimal total = imprimirProductos(ctx, c.item(QStringLiteral("productos")), true);
    if (preciosVisibles(ctx)) {
        QString lineaTotal = QStringLiteral("TOTAL   ") + formato::textoPlano(total, ctx.locale);
        imprimirTexto(ctx, lineaTotal, anchoRollo(ctx), 1, 0);
    }

    tamano(ctx, 12);
    imprimirSeparador(ctx, QLatin1Char('='));
    parrafoMedido(ctx, QStringLiteral("Atiende: ") + c.item(QStringLiteral("responsable")).comoTexto(ctx.locale));
    linea(ctx, QStringLiteral("Pedido ") + c.item(QStringLiteral("nPedido")).comoTexto(ctx.locale));
    linea(ctx, QStringLiteral("Fecha\\Hora: "));
    lineaValor(ctx, c.item(QStringLiteral("fecha")));
    tamano(ctx, tamanoPequeno(ctx));

    const Valor cliente = c.item(QStringLiteral("clienteNombre"));
    if (!vacioONulo(cliente)) {
        imprimirSeparador(ctx, QLatin1Char('='));
        parrafo(ctx, QStringLiteral("DATOS CLIENTE"));
        parrafo(ctx, QStringLiteral("Nombre: ") + cliente.comoTexto(ctx.locale));
        parrafo(ctx, QStringLiteral("Telefono: ") + c.item(QStringLiteral("clienteTelefono")).comoTexto(ctx.locale));
        parrafoMedido(ctx,
                      QStringLiteral("Direccion: ") + c.item(QStringLiteral("clienteDireccion")).comoTexto(ctx.locale));
    }
    tamano(ctx, 12);

    const Valor plataforma = c.item(QStringLiteral("codPlataforma"));
    if (!vacioONulo(plataforma)) {
        imprimirSeparador(ctx, QLatin1Char('='));
        parrafo(ctx, plataforma.comoTexto(ctx.locale));
    }

    linea(ctx, QStringLiteral(" "));
    linea(ctx, QStringLiteral("."));
    ctx.impresora().finDocumento();
    globoEnviada(ctx);
}

void imprimirUnaAnulacion(ContextoImpresion& ctx, Dictionary& c) {
    const QString nombreArea = c.item(QStringLiteral("area")).comoTexto(ctx.locale);
    if (!seleccionarImpresora(ctx, indiceImpresora(ctx, nombreArea), 0))
        return;

    parrafoMedido(ctx, nombreArea, 2);
    fuenteNormal(ctx);
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 16);
    linea(ctx, QStringLiteral("A N U L A C I O N!!"));
    lineaValor(ctx, c.item(QStringLiteral("nomMesa")));
    imprimirSeparador(ctx, QLatin1Char('='));
    tamano(ctx, 12);

    imprimirProductos(ctx, c.item(QStringLiteral("productos")), false);

    tamano(ctx, 12);
    imprimirSeparador(ctx, QLatin1Char('='));
    linea(ctx, QStringLiteral("Fecha\\Hora: "));
    linea(ctx, ctx.ahora().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    tamano(ctx, tamanoPequeno(ctx));
    linea(ctx, QStringLiteral(" "));
    linea(ctx, QStringLiteral("."));
    ctx.impresora().finDocumento();
    globoEnviada(ctx);
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
        descartar(ctx);
        ctx.avisos.mostrarGlobo(fallo.descripcion(), iconoglobo::advertencia, QStringLiteral("Comanda"), tiempoGlobo);
    }
}

void imprimirAnulacion(ContextoImpresion& ctx, Collection& anulaciones) {
    if (!impresoraDisponible(ctx))
        return;
    try {
        tamano(ctx, tamanoPequeno(ctx));
        for (const Valor& c : anulaciones.valores())
            imprimirUnaAnulacion(ctx, c.comoDictionary());
    } catch (const FalloPlataforma&) {
        // Tickets already ended stay printed; the open one is dropped and the failure goes to the caller's log.
        descartar(ctx);
        throw;
    }
}

void abrirCajon(ContextoImpresion& ctx) {
    static const QByteArray pulso("\x1B\x70\x00\x3C\xF0", 5);
    try {
        if (seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Facturas")), 0))
            ctx.impresoras.escribirCrudo(ctx.impresora().nombreDispositivo(), pulso);
    } catch (const FalloPlataforma&) {
        // A drawer that does not open says so by staying shut; there is nobody at the screen to tell.
    }
    // The drawer prints nothing: a fallback notice left in the open document would otherwise come out on top
    // of the next ticket.
    descartar(ctx);
}

} // namespace kestrel
