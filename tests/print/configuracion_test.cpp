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

TEST(CargarConfiguracion, ValoresPorOmision) {
    Banco b;
    b.ctx.ajustes.valorServicio = 7;
    b.ctx.ajustes.aplicaPropina = true;
    cargarConfiguracion(b.ctx);
    const AjustesFactura& a = b.ctx.ajustes;
    EXPECT_EQ(a.tituloVendedor, QStringLiteral("Mesero"));
    EXPECT_EQ(a.nombreFacturaCerrada, QStringLiteral("Boleto Fiscal"));
    EXPECT_EQ(a.conceptoDomicilio, QStringLiteral("Domicilio"));
    EXPECT_EQ(a.valorServicio, 0);
    EXPECT_FALSE(a.aplicaPropina);
    EXPECT_FALSE(a.resaltarTotal);
    EXPECT_TRUE(a.nombreEstablecimiento.isEmpty());
}

TEST(CargarConfiguracion, CopiaTextosYBanderas) {
    Banco b;
    b.ctx.configuracion = ajustes({
        {QStringLiteral("Nombre Establecimiento"), QStringLiteral("La Fonda")},
        {QStringLiteral("Apellido 2 Representante Legal"), QStringLiteral("Ruiz")},
        {QStringLiteral("Factura Prefijo"), QStringLiteral("FV")},
        {QStringLiteral("Telefono 1"), QStringLiteral("601 555")},
        {QStringLiteral("Encabezado de Factura"), QStringLiteral("Bienvenidos")},
        {QStringLiteral("Hora Factura"), QStringLiteral("1")},
        {QStringLiteral("Permanencia Factura"), QStringLiteral("0")},
        {QStringLiteral("Personas Factura"), QStringLiteral("true")},
        {QStringLiteral("ResaltarTotal Cuenta"), QStringLiteral("1")},
        {QStringLiteral("Opcion Propina 5% y 10%"), QStringLiteral("1")},
        {QStringLiteral("Titulo del Vendedor"), QStringLiteral("Cajero")},
        {QStringLiteral("Concepto Domicilio"), QStringLiteral("Envio")},
        {QStringLiteral("Regimen"), QStringLiteral("COMUN")},
        {QStringLiteral("Nombre factura cerrada"), QStringLiteral("Cuenta de cobro")},
    });
    cargarConfiguracion(b.ctx);
    const AjustesFactura& a = b.ctx.ajustes;
    EXPECT_EQ(a.nombreEstablecimiento, QStringLiteral("La Fonda"));
    EXPECT_EQ(a.apellido2Representante, QStringLiteral("Ruiz"));
    EXPECT_EQ(a.prefijoFactura, QStringLiteral("FV"));
    EXPECT_EQ(a.telefono1, QStringLiteral("601 555"));
    EXPECT_EQ(a.encabezadoDeFactura, QStringLiteral("Bienvenidos"));
    EXPECT_TRUE(a.mostrarHoraFactura);
    EXPECT_FALSE(a.mostrarPermanencia);
    EXPECT_FALSE(a.mostrarPersonas);
    EXPECT_TRUE(a.resaltarTotal);
    EXPECT_TRUE(a.opcionPropina5y10);
    EXPECT_EQ(a.tituloVendedor, QStringLiteral("Cajero"));
    EXPECT_EQ(a.conceptoDomicilio, QStringLiteral("Envio"));
    EXPECT_EQ(a.nombreFacturaCerrada, QStringLiteral("Cuenta de cobro"));
}

TEST(CargarConfiguracion, NombreDeFacturaCerradaSegunRegimen) {
    struct {
        const char* regimen;
        const char* nombre;
    } const casos[] = {
        {"comun", "Factura"},
        {"Común", "Boleto Fiscal"},
        {"simplificado", "Boleto Fiscal"},
        {"", "Boleto Fiscal"},
    };
    for (const auto& c : casos) {
        Banco b;
        b.ctx.configuracion = ajustes({{QStringLiteral("Regimen"), QString::fromUtf8(c.regimen)}});
        cargarConfiguracion(b.ctx);
        EXPECT_EQ(b.ctx.ajustes.nombreFacturaCerrada, QString::fromUtf8(c.nombre)) << c.regimen;
    }
}

TEST(CargarConfiguracion, PropinaSoloAplicaOUno) {
    struct {
        const char* valor;
        bool aplica;
    } const casos[] = {{"Aplica", true}, {"1", true}, {"aplica", false}, {"0", false}, {"Aplica ", false}};
    for (const auto& c : casos) {
        Banco b;
        b.ctx.configuracion = ajustes({{QStringLiteral("Propina"), QString::fromUtf8(c.valor)}});
        cargarConfiguracion(b.ctx);
        EXPECT_EQ(b.ctx.ajustes.aplicaPropina, c.aplica) << c.valor;
    }
}

TEST(CargarConfiguracion, ServicioRedondeadoAlPar) {
    struct {
        const char* valor;
        int esperado;
    } const casos[] = {
        {"10", 10},   {"abc", 0}, {"", 0},          {"2,5", 2},      {"3,5", 4},
        {"-1,5", -2}, {" 7 ", 7}, {"32767", 32767}, {"1.000", 1000},
    };
    for (const auto& c : casos) {
        Banco b;
        b.ctx.configuracion = ajustes({{QStringLiteral("Servicio"), QString::fromUtf8(c.valor)}});
        cargarConfiguracion(b.ctx);
        EXPECT_EQ(b.ctx.ajustes.valorServicio, c.esperado) << c.valor;
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
