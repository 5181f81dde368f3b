#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "print/configuracion.h"

namespace kestrel::prueba {
namespace {

Valor item(const QString& nombre, const Valor& descripcion, const Valor& visible = Valor()) {
    auto d = std::make_shared<Dictionary>();
    d->add(QStringLiteral("Nombre"), nombre);
    if (!descripcion.esVacio())
        d->add(QStringLiteral("Descripcion"), descripcion);
    if (!visible.esVacio())
        d->add(QStringLiteral("Visible"), visible);
    return Valor(d);
}

class Consulta : public testing::Test {
protected:
    Consulta() {
        b.ctx.configuracion = lista({
            item(QStringLiteral("Direccion"), u"Calle 1", u"1"),
            item(QStringLiteral("Direccion"), u"Calle 2", u"0"),
            item(QStringLiteral("Telefono 1"), u"555", u"0"),
            item(QStringLiteral("Telefono 2"), u"556", u"true"),
            item(QStringLiteral("Regimen"), u"comun", u""),
            item(QStringLiteral("Pie de Factura"), Valor()),
            item(QStringLiteral("Servicio"), numero("10"), numero("1")),
            item(QStringLiteral("Nula"), Valor::nulo()),
            objeto({{QStringLiteral("Descripcion"), u"sin nombre"}}),
            Valor(QStringLiteral("no es un ajuste")),
            item(QStringLiteral("Ultima"), u"fin", u"1"),
        });
    }
    Banco b;
};

TEST_F(Consulta, ValorDelPrimeroQueCoincide) {
    struct {
        const char* nombre;
        const char* esperado;
    } const casos[] = {
        {"Direccion", "Calle 1"}, {"direccion", ""},    {"Telefono 1", "555"}, {"Pie de Factura", ""},
        {"Servicio", "10"},       {"Nula", ""},         {"No existe", ""},     {"", ""},
        {"Ultima", "fin"},        {"Regimen", "comun"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(valorConfiguracion(b.ctx, QString::fromUtf8(c.nombre)), QString::fromUtf8(c.esperado)) << c.nombre;
}

TEST_F(Consulta, SoloVisibleUnoMuestra) {
    struct {
        const char* nombre;
        bool esperado;
    } const casos[] = {
        {"Direccion", true},       {"Telefono 1", false}, {"Telefono 2", false}, {"Regimen", false},
        {"Pie de Factura", false}, {"Servicio", true},    {"No existe", false},  {"Ultima", true},
    };
    for (const auto& c : casos)
        EXPECT_EQ(configuracionVisible(b.ctx, QString::fromUtf8(c.nombre)), c.esperado) << c.nombre;
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
