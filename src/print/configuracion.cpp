#include "print/configuracion.h"

#include <limits>

#include "json/fallo.h"
#include "json/formato_numero.h"

namespace kestrel {

namespace {

/// The first setting named nombre, or null. The list is walked from the front on every call: it holds a
/// few dozen items and a document asks a few dozen times, so an index would cost more than it saves.
/// A configuration that is not a list (a message without "config") raises, failing the document.
Dictionary* buscarAjuste(ContextoImpresion& ctx, const QString& nombre) {
    const Collection& ajustes = ctx.configuracion.comoCollection();
    for (const Valor& v : ajustes.valores()) {
        if (!v.esObjeto())
            continue;
        Dictionary& item = v.comoDictionary();
        const Valor n = item.valorSinInsertar(QStringLiteral("Nombre"));
        if (n.esTexto() && n.texto() == nombre)
            return &item;
    }
    return nullptr;
}

/// Setting values are texts; a number the service sends instead reads as its plain text and a null as
/// nothing.
QString textoDe(const Valor& v, const QLocale& locale) {
    if (v.esNulo())
        return {};
    return v.comoTexto(locale);
}

bool bandera(ContextoImpresion& ctx, const QString& nombre) {
    return valorConfiguracion(ctx, nombre) == QLatin1String("1");
}

/// "Servicio" rounded half to even into the 16-bit range; a text that is not a number gives 0 and one
/// beyond the range overflows, which fails the invoice.
int leerServicio(ContextoImpresion& ctx) {
    const auto numero = formato::leerNumero(valorConfiguracion(ctx, QStringLiteral("Servicio")), ctx.locale);
    if (!numero)
        return 0;
    const std::int64_t entero = numero->aEntero64(Decimal::Redondeo::MitadPar);
    if (entero < std::numeric_limits<std::int16_t>::min() || entero > std::numeric_limits<std::int16_t>::max())
        throw FalloPlataforma::estandar(numerofallo::desbordamiento);
    return static_cast<int>(entero);
}

} // namespace

QString valorConfiguracion(ContextoImpresion& ctx, const QString& nombre) {
    const Dictionary* item = buscarAjuste(ctx, nombre);
    if (!item)
        return {};
    return textoDe(item->valorSinInsertar(QStringLiteral("Descripcion")), ctx.locale);
}

bool configuracionVisible(ContextoImpresion& ctx, const QString& nombre) {
    const Dictionary* item = buscarAjuste(ctx, nombre);
    if (!item)
        return false;
    const Valor visible = item->valorSinInsertar(QStringLiteral("Visible"));
    if (!visible.esTexto() && !visible.esNumero())
        return false;
    return visible.comoTexto(ctx.locale) == QLatin1String("1");
}

void cargarConfiguracion(ContextoImpresion& ctx) {
    AjustesFactura& a = ctx.ajustes;
    const auto leer = [&ctx](const char* nombre) { return valorConfiguracion(ctx, QString::fromUtf8(nombre)); };

    a.nombreRepresentante = leer("Nombre Representante Legal");
    a.apellido1Representante = leer("Apellido 1 Representante Legal");
    a.apellido2Representante = leer("Apellido 2 Representante Legal");
    a.nombreEstablecimiento = leer("Nombre Establecimiento");
    a.actividadEconomica = leer("Actividad Economica");
    a.tipoIdentificacion = leer("Tipo Identificacion");
    a.prefijoFactura = leer("Factura Prefijo");
    a.numeroIdentificacion = leer("Numero Identificacion");
    a.resolucionDian = leer("Resolucion Dian Facturacion");
    a.fechaResolucionDian = leer("Resolucion Dian Fecha");
    a.facturaInicial = leer("Factura Inicial");
    a.facturaFinal = leer("Factura Final");
    a.regimen = leer("Regimen");
    a.codigoActividadEconomica = leer("Codigo Actividad Economica");
    a.direccion = leer("Direccion");
    a.telefono1 = leer("Telefono 1");

    a.pieDeFactura = leer("Pie de Factura");
    a.encabezadoDeFactura = leer("Encabezado de Factura");

    a.leyendaPropinaCuenta = bandera(ctx, QStringLiteral("Imprimie Leyenda Propina Cuenta"));
    a.espacioClienteCuenta = bandera(ctx, QStringLiteral("Imprimie Espacio Cliente Cuenta"));
    a.mostrarHoraFactura = bandera(ctx, QStringLiteral("Hora Factura"));
    a.mostrarPermanencia = bandera(ctx, QStringLiteral("Permanencia Factura"));
    a.mostrarPersonas = bandera(ctx, QStringLiteral("Personas Factura"));
    a.mostrarMesero = bandera(ctx, QStringLiteral("Nombre Mesero Factura"));
    a.resaltarTotal = bandera(ctx, QStringLiteral("ResaltarTotal Cuenta"));

    a.valorServicio = leerServicio(ctx);

    const QString propina = leer("Propina");
    a.aplicaPropina = propina == QLatin1String("Aplica") || propina == QLatin1String("1");

    a.tituloVendedor = leer("Titulo del Vendedor");
    if (a.tituloVendedor.isEmpty())
        a.tituloVendedor = QStringLiteral("Mesero");

    // Needs the regime read above.
    a.nombreFacturaCerrada = leer("Nombre factura cerrada");
    if (a.nombreFacturaCerrada.isEmpty())
        a.nombreFacturaCerrada =
            a.regimen.toUpper() == QLatin1String("COMUN") ? QStringLiteral("Factura") : QStringLiteral("Boleto Fiscal");

    a.opcionPropina5y10 = bandera(ctx, QStringLiteral("Opcion Propina 5% y 10%"));

    a.conceptoDomicilio = leer("Concepto Domicilio");
    if (a.conceptoDomicilio.isEmpty())
        a.conceptoDomicilio = QStringLiteral("Domicilio");
}

} // namespace kestrel
