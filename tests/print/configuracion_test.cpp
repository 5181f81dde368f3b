#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "json/json.h"
#include "print/configuracion.h"

namespace kestrel::prueba {
namespace {

// The first item of a name answers, whatever follows; only "Visible" exactly "1" (text or number) shows it.
TEST(Consulta, ElPrimeroQueCoincide) {
    Banco b;
    b.ctx.configuracion = jsonParse(QStringLiteral(R"([
        {"Nombre": "Direccion", "Descripcion": "Calle 1", "Visible": "1"},
        {"Nombre": "Direccion", "Descripcion": "Calle 2", "Visible": "0"},
        {"Nombre": "Telefono 1", "Descripcion": "555", "Visible": "0"},
        {"Nombre": "Telefono 2", "Descripcion": "556", "Visible": "true"},
        {"Nombre": "Regimen", "Descripcion": "comun", "Visible": ""},
        {"Nombre": "Pie de Factura"},
        {"Nombre": "Servicio", "Descripcion": 10, "Visible": 1},
        {"Nombre": "Nula", "Descripcion": null},
        {"Descripcion": "sin nombre"},
        "no es un ajuste",
        {"Nombre": "Ultima", "Descripcion": "fin", "Visible": "1"}])"));
    const struct {
        const char* nombre;
        const char* valor;
        bool visible;
    } casos[] = {
        {"Direccion", "Calle 1", true}, {"direccion", "", false},
        {"Telefono 1", "555", false},   {"Telefono 2", "556", false},
        {"Regimen", "comun", false},    {"Pie de Factura", "", false},
        {"Servicio", "10", true},       {"Nula", "", false},
        {"No existe", "", false},       {"", "", false},
        {"Ultima", "fin", true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(valorConfiguracion(b.ctx, QString::fromUtf8(c.nombre)), QString::fromUtf8(c.valor)) << c.nombre;
        EXPECT_EQ(configuracionVisible(b.ctx, QString::fromUtf8(c.nombre)), c.visible) << c.nombre;
    }
}

TEST(ConsultaSinLista, FallaElDocumento) {
    Banco b;
    b.ctx.configuracion = Valor();
    EXPECT_THROW(valorConfiguracion(b.ctx, QStringLiteral("Direccion")), FalloPlataforma);
    b.ctx.configuracion = objeto({});
    EXPECT_THROW(configuracionVisible(b.ctx, QStringLiteral("Direccion")), FalloPlataforma);
}

// The settings that are read rather than copied: each row sets one, the others keep their defaults.
TEST(CargarConfiguracion, AjustesInterpretados) {
    const struct {
        const char* nombre;
        const char* valor;
        const char* esperado; // vendedor|factura cerrada|domicilio|propina|servicio
    } casos[] = {
        {"", "", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        {"Regimen", "comun", "Mesero|Factura|Domicilio|0|0"},
        {"Regimen", "Común", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        {"Regimen", "simplificado", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        {"Nombre factura cerrada", "Cuenta", "Mesero|Cuenta|Domicilio|0|0"},
        {"Titulo del Vendedor", "Cajero", "Cajero|Boleto Fiscal|Domicilio|0|0"},
        {"Concepto Domicilio", "Envio", "Mesero|Boleto Fiscal|Envio|0|0"},
        {"Propina", "Aplica", "Mesero|Boleto Fiscal|Domicilio|1|0"},
        {"Propina", "1", "Mesero|Boleto Fiscal|Domicilio|1|0"},
        {"Propina", "aplica", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        {"Propina", "Aplica ", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        // The service is rounded half to even, as the classic integer conversion does.
        {"Servicio", "10", "Mesero|Boleto Fiscal|Domicilio|0|10"},
        {"Servicio", "abc", "Mesero|Boleto Fiscal|Domicilio|0|0"},
        {"Servicio", "2,5", "Mesero|Boleto Fiscal|Domicilio|0|2"},
        {"Servicio", "3,5", "Mesero|Boleto Fiscal|Domicilio|0|4"},
        {"Servicio", "-1,5", "Mesero|Boleto Fiscal|Domicilio|0|-2"},
        {"Servicio", " 7 ", "Mesero|Boleto Fiscal|Domicilio|0|7"},
        {"Servicio", "1.000", "Mesero|Boleto Fiscal|Domicilio|0|1000"},
        {"Servicio", "32767", "Mesero|Boleto Fiscal|Domicilio|0|32767"},
    };
    for (const auto& c : casos) {
        Banco b;
        b.ctx.ajustes.valorServicio = 7;
        b.ctx.ajustes.aplicaPropina = true;
        b.ctx.configuracion = ajustes({{QString::fromUtf8(c.nombre), QString::fromUtf8(c.valor)}});
        cargarConfiguracion(b.ctx);
        const AjustesFactura& a = b.ctx.ajustes;
        EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(a.tituloVendedor, a.nombreFacturaCerrada, a.conceptoDomicilio)
                      .arg(a.aplicaPropina ? 1 : 0)
                      .arg(a.valorServicio),
                  QString::fromUtf8(c.esperado))
            << c.nombre << " = " << c.valor;
    }
}

TEST(CargarConfiguracion, ServicioFueraDeRangoDesborda) {
    Banco b;
    b.ctx.configuracion = ajustes({{QStringLiteral("Servicio"), QStringLiteral("32768")}});
    try {
        cargarConfiguracion(b.ctx);
        FAIL() << "sin fallo";
    } catch (const FalloPlataforma& f) {
        EXPECT_EQ(f.numero(), numerofallo::desbordamiento);
    }
}

} // namespace
} // namespace kestrel::prueba
