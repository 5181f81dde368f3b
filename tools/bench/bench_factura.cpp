// Rendering an invoice of 100 products: to the text view (the layout cost alone) and to a PDF virtual
// printer (layout, QPainter and the file written per document).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "json/json.h"
#include "json/valor.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/factura.h"
#include "print/qt/sistemas.h"
#include "print/vista_texto.h"

namespace {

using namespace kestrel;

class AvisosMudos : public Avisos {
public:
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

QString ajuste(const char* nombre, const char* descripcion) {
    return QStringLiteral(R"({"Nombre":"%1","Descripcion":"%2","Visible":"1"})")
        .arg(QString::fromUtf8(nombre), QString::fromUtf8(descripcion));
}

/// A long closed account on the wide roll with every section on: header, legend, taxes, payments, customer.
QString mensajeFactura() {
    const QStringList config{
        ajuste("Nombre Establecimiento", "Restaurante La Garza"),
        ajuste("Actividad Economica", "Expendio a la mesa de comidas preparadas"),
        ajuste("Numero Identificacion", "900.123.456-7"),
        ajuste("Tipo Identificacion", "NIT"),
        ajuste("Direccion", "Calle 10 # 5-23 Bogota"),
        ajuste("Telefono 1", "601 555 1234"),
        ajuste("Regimen", "Comun"),
        ajuste("Nombre Regimen", "Responsable de IVA"),
        ajuste("Resolucion Dian Facturacion", "18764000001234"),
        ajuste("Factura Prefijo", "FE"),
        ajuste("Factura Inicial", "1"),
        ajuste("Factura Final", "5000"),
        ajuste("Imprimie Leyenda Propina Cuenta", "1"),
        ajuste("Imprimie Espacio Cliente Cuenta", "1"),
        ajuste("Hora Factura", "1"),
        ajuste("Nombre Mesero Factura", "1"),
        ajuste("Servicio", "10"),
        ajuste("Propina", "Aplica"),
        ajuste("Pie de Factura", "Gracias por su visita, vuelva pronto"),
    };
    QStringList pedido;
    for (int i = 1; i <= 100; ++i) {
        pedido << QStringLiteral(R"({"NombreProducto":"Hamburguesa doble de la casa numero %1","Cantidad":%2,)"
                                 R"("Valor":%3,"Detalle":"%4"})")
                      .arg(i)
                      .arg(i % 3 + 1)
                      .arg(18500 * (i % 3 + 1))
                      .arg(i % 2 == 0 ? QStringLiteral("sin cebolla<br/>termino medio") : QString());
    }
    return QStringLiteral(R"({"tipo":"factura","config":[%1],"dato":{"mesa":12,"idFacturaCuenta":1234,)"
                          R"("nomMesa":"Mesa 12","fechaFactura":"2024-06-01","horaFactura":"13:45:10",)"
                          R"("vendedor":"Carlos Perez","pedido":[%2],"descuento":1000,"totalPagar":3700000,)"
                          R"("DescuentoIndividual":0,"cuentaCerrada":true,"mediosPago":[)"
                          R"({"Producto":"MEDIO DE PAGO Efectivo","Detalle":"","Valor":4069000}],)"
                          R"("tipoMesa":"MESA","totalPagado":3699000,"totalPagadoPropina":370000,)"
                          R"("pagoEfectivo":4069000,"cambioEfectivo":1000,"propinaSugerida":0,)"
                          R"("cliente":{"Nombre":"Ana Rojas","IdDocumento":"52111222","Direccion":"Cra 7 # 45-10",)"
                          R"("Telefono1":"3112223344"},"pieFactura":"Siguenos en redes","impuestos":[)"
                          R"({"nombre":"Impoconsumo 8%","base":3425926,"valor":274074}]}})")
        .arg(config.join(QLatin1Char(',')), pedido.join(QLatin1Char(',')));
}

struct Factura {
    Valor config;
    Valor dato;
};

Factura leerFactura() {
    Valor raiz = jsonParse(mensajeFactura());
    Dictionary& sobre = raiz.comoDictionary();
    return {sobre.item(QStringLiteral("config")), sobre.item(QStringLiteral("dato"))};
}

void BM_FacturaVistaTexto(benchmark::State& estado) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas")}, QStringLiteral("Facturas"));
    AvisosMudos avisos;
    ContextoImpresion ctx(sistema, avisos, QString());
    const Factura f = leerFactura();
    ctx.configuracion = f.config;
    // An invoice that silently fails would make the loop look fast.
    imprimirFactura(ctx, f.dato);
    if (sistema.documentos().size() != 1 || sistema.documentos()[0].lineas.size() < 250) {
        estado.SkipWithError("la factura no se imprimio entera");
        return;
    }
    sistema.olvidarDocumentos();
    for (auto _ : estado) {
        imprimirFactura(ctx, f.dato);
        benchmark::DoNotOptimize(sistema.documentos().size());
        sistema.olvidarDocumentos();
    }
    estado.SetItemsProcessed(estado.iterations());
    estado.SetLabel("documentos");
}
BENCHMARK(BM_FacturaVistaTexto)->Unit(benchmark::kMicrosecond);

void BM_FacturaPdf(benchmark::State& estado) {
    QTemporaryDir salida;
    const auto sistema = crearSistemaVirtual({QStringLiteral("Facturas")}, salida.path());
    AvisosMudos avisos;
    ContextoImpresion ctx(*sistema, avisos, QString());
    const Factura f = leerFactura();
    ctx.configuracion = f.config;
    QDir carpeta(salida.path());
    const auto vaciar = [&carpeta] {
        for (const QString& a : carpeta.entryList(QDir::Files))
            carpeta.remove(a);
    };
    imprimirFactura(ctx, f.dato);
    if (!carpeta.exists(QStringLiteral("Facturas-1.pdf"))) {
        estado.SkipWithError("la factura no llego al PDF");
        return;
    }
    vaciar();
    for (auto _ : estado) {
        imprimirFactura(ctx, f.dato);
        estado.PauseTiming();
        vaciar();
        estado.ResumeTiming();
    }
    estado.SetItemsProcessed(estado.iterations());
    estado.SetLabel("documentos");
}
BENCHMARK(BM_FacturaPdf)->Unit(benchmark::kMillisecond);

} // namespace
