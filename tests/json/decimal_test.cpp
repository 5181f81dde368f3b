#include <gtest/gtest.h>

#include "impresion_qt.h"

#include "json/decimal.h"
#include "json/fallo.h"

using kestrel::Decimal;

namespace {

Decimal d(const char* texto) {
    auto v = Decimal::desdeTextoInvariante(QString::fromLatin1(texto));
    EXPECT_TRUE(v.has_value()) << texto;
    return v.value_or(Decimal());
}

struct CasoTexto {
    const char* entrada;
    const char* salida; // nullptr: malformed
};

TEST(Decimal, LeeYEscribeLaFormaInvariante) {
    const CasoTexto casos[] = {
        {"0", "0"},
        {"-0", "0"},
        {"12", "12"},
        {"12.50", "12.5"},
        {"-3.99", "-3.99"},
        {"1e5", "100000"},
        {"1.25e3", "1250"},
        {".5", "0.5"},
        {"5.", "5"},
        {"+7", "7"},
        {"0.05", "0.05"},
        {"1E-2", "0.01"},
        {"79228162514264337593543950335", "79228162514264337593543950335"},
        {"0.0000000000000000000000000001", "0.0000000000000000000000000001"},
        {"", nullptr},
        {"-", nullptr},
        {".", nullptr},
        {"1e", nullptr},
        {"1-2", nullptr},
        {"1.2.3", nullptr},
        {"abc", nullptr},
        {"79228162514264337593543950336", nullptr},
    };
    for (const auto& c : casos) {
        auto v = Decimal::desdeTextoInvariante(QString::fromLatin1(c.entrada));
        if (!c.salida) {
            EXPECT_FALSE(v.has_value()) << c.entrada;
            continue;
        }
        ASSERT_TRUE(v.has_value()) << c.entrada;
        EXPECT_EQ(v->aTexto(), QString::fromLatin1(c.salida)) << c.entrada;
    }
}

TEST(Decimal, AritmeticaExacta) {
    EXPECT_EQ((d("0.1") + d("0.2")).aTexto(), "0.3");
    EXPECT_EQ((d("9000") - d("500")).aTexto(), "8500");
    EXPECT_EQ((d("1500.75") * d("3")).aTexto(), "4502.25");
    EXPECT_EQ((d("1") / d("4")).aTexto(), "0.25");
    EXPECT_EQ((d("900") / d("2")).aTexto(), "450");
    EXPECT_EQ((d("1") / d("3")).aTexto(), "0.3333333333333333333333333333");
    EXPECT_EQ((d("-2") * d("-2.5")).aTexto(), "5");
    EXPECT_EQ((d("100") - d("100.01")).aTexto(), "-0.01");
}

TEST(Decimal, ElDesbordamientoFallaEnLugarDeDarLaVuelta) {
    const Decimal maximo = d("79228162514264337593543950335");
    try {
        (void)(maximo + Decimal(1));
        FAIL() << "se esperaba desbordamiento";
    } catch (const kestrel::FalloPlataforma& f) {
        EXPECT_EQ(f.numero(), 6);
    }
    EXPECT_THROW((void)(maximo * d("2")), kestrel::FalloPlataforma);
    EXPECT_THROW((void)(d("1") / Decimal()), kestrel::FalloPlataforma);
    // A product that only needs fewer fractional digits is rounded, not refused.
    EXPECT_EQ((d("0.0000000000000000000000000001") * d("0.5")).aTexto(), "0");
}

TEST(Decimal, CompararYRedondear) {
    EXPECT_TRUE(d("12.50") == d("12.5"));
    EXPECT_TRUE(d("-1") < d("0"));
    EXPECT_TRUE(d("2000.01") > d("2000"));
    struct Caso {
        const char* valor;
        Decimal::Redondeo modo;
        const char* esperado;
    } casos[] = {
        {"2.5", Decimal::Redondeo::MitadAlejada, "3"}, {"-2.5", Decimal::Redondeo::MitadAlejada, "-3"},
        {"2.5", Decimal::Redondeo::MitadPar, "2"},     {"3.5", Decimal::Redondeo::MitadPar, "4"},
        {"-3.99", Decimal::Redondeo::Truncar, "-3"},   {"1499.5", Decimal::Redondeo::MitadAlejada, "1500"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(d(c.valor).redondear(0, c.modo).aTexto(), QString::fromLatin1(c.esperado)) << c.valor;
    EXPECT_EQ(d("-7.6").aEntero64(Decimal::Redondeo::MitadPar), -8);
}

} // namespace
