#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/formato_numero.h"

using namespace kestrel;

namespace {

Decimal d(const char* texto) {
    return Decimal::desdeTextoInvariante(QString::fromLatin1(texto)).value();
}

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);
const QLocale estadosUnidos(QLocale::English, QLocale::UnitedStates);

struct CasoSalida {
    const char* valor;
    const char* importe;
    const char* impresora;
    const char* plano;
};

TEST(FormatoNumero, SalidaConLaConfiguracionDeLaSucursal) {
    const CasoSalida casos[] = {
        {"12500", "12.500", " 12500 ", "12500"},
        {"12.5", "13", " 12,5 ", "12,5"},
        {"1500.49", "1.500", " 1500,49 ", "1500,49"},
        {"-1500.5", "-1.501", "-1500,5 ", "-1500,5"},
        {"0", "0", " 0 ", "0"},
        {"0.4", "0", " 0,4 ", "0,4"},
        {"-0.4", "0", "-0,4 ", "-0,4"},
        {"1234567890", "1.234.567.890", " 1234567890 ", "1234567890"},
        {"100", "100", " 100 ", "100"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.valor);
        EXPECT_EQ(formato::textoImporte(d(c.valor), colombia), QString::fromLatin1(c.importe));
        EXPECT_EQ(formato::textoImpresora(d(c.valor), colombia), QString::fromLatin1(c.impresora));
        EXPECT_EQ(formato::textoPlano(d(c.valor), colombia), QString::fromLatin1(c.plano));
    }
}

TEST(FormatoNumero, LaConfiguracionDelEquipoSeTomaDelEntorno) {
    // The tests run under LANG=es_CO.UTF-8, as a branch PC does.
    EXPECT_EQ(formato::textoImporte(d("12500")), QStringLiteral("12.500"));
    EXPECT_EQ(formato::textoPlano(d("12.5")), QStringLiteral("12,5"));
    EXPECT_EQ(formato::textoImporte(d("12500"), estadosUnidos), QStringLiteral("12,500"));
    EXPECT_EQ(formato::textoPlano(d("12.5"), estadosUnidos), QStringLiteral("12.5"));
}

struct CasoLectura {
    const char* texto;
    const char* colombia; // nullptr: not a number there
    const char* estadosUnidos;
};

TEST(FormatoNumero, LecturaSegunLaConfiguracion) {
    const CasoLectura casos[] = {
        {"12,5", "12.5", "125"},          {"12.500", "12500", "12.5"}, {"1.234,5", "1234.5", nullptr},
        {"-1.234,5", "-1234.5", nullptr}, {" 7 ", "7", "7"},           {"+3", "3", "3"},
        {"1e3", "1000", "1000"},          {"2,5E-1", "0.25", "2.5"},   {"", nullptr, nullptr},
        {"abc", nullptr, nullptr},        {"-", nullptr, nullptr},     {"1,2,3", nullptr, "123"},
        {"12a", nullptr, nullptr},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        const auto co = formato::leerNumero(QString::fromLatin1(c.texto), colombia);
        const auto us = formato::leerNumero(QString::fromLatin1(c.texto), estadosUnidos);
        if (c.colombia) {
            ASSERT_TRUE(co.has_value());
            EXPECT_EQ(co->aTexto(), QString::fromLatin1(c.colombia));
        } else {
            EXPECT_FALSE(co.has_value());
        }
        if (c.estadosUnidos) {
            ASSERT_TRUE(us.has_value());
            EXPECT_EQ(us->aTexto(), QString::fromLatin1(c.estadosUnidos));
        } else {
            EXPECT_FALSE(us.has_value());
        }
    }
}

} // namespace
