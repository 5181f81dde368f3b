#include <gtest/gtest.h>

#include "print/qt/fuentes.h"

using namespace kestrel;

namespace {

// The receipt fonts keep their promised pitch at the base size and scale with the size like any font; bold
// must not widen a fixed-pitch face, or bold lines would run past their columns.
TEST(Fuentes, AnchoDeCuarentaCaracteres) {
    const struct {
        const char* nombre;
        float puntos;
        bool negrita;
        double caracteresPorPulgada;
    } casos[] = {
        {"Courier 14 CPI", 10.0F, false, 14.0},
        {"Courier 14 CPI", 10.0F, true, 14.0},
        {"Courier 17 CPI", 10.0F, false, 17.0},
        {"courier 17 cpi", 10.0F, false, 17.0},
        {"Courier 17 CPI", 12.0F, false, 17.0 * 10.0 / 12.0},
        {"Courier 17 CPI", 16.0F, true, 17.0 * 10.0 / 16.0},
        {"Courier 14 CPI", 7.0F, false, 14.0 * 10.0 / 7.0},
        // The printer's font before a document names one is the invoice font.
        {"", 10.0F, false, 14.0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.nombre) + " " + std::to_string(c.puntos) + (c.negrita ? " negrita" : ""));
        CatalogoFuentes catalogo;
        const FuenteResuelta& f = catalogo.resolver({QString::fromUtf8(c.nombre), c.puntos, c.negrita, false});
        const double esperado = 40.0 * twipsPorPulgada / c.caracteresPorPulgada;
        EXPECT_NEAR(f.anchoTexto(QString(40, QLatin1Char('M'))), esperado, esperado * 0.005);
        EXPECT_NEAR(f.anchoTexto(QString(40, QLatin1Char('i'))), esperado, esperado * 0.005) << "no es de paso fijo";
        EXPECT_NEAR(f.anchoColumna * 40.0, esperado, esperado * 0.005);
        EXPECT_GT(f.alto, 0.0);
        EXPECT_TRUE(f.metricas->inFontUcs4(QChar(u'Ñ').unicode()));
    }
}

TEST(Fuentes, CuarentaColumnasCabenEnElRolloDe80mm) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& factura = catalogo.resolver({QStringLiteral("Courier 14 CPI"), 10.0F, false, false});
    const FuenteResuelta& comanda = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 12.0F, false, false});
    // 80 mm of paper less 3 mm on each side.
    const double utiles = 74.0 * twipsPorMilimetro;
    EXPECT_LT(factura.anchoColumna * 40, utiles);
    EXPECT_LT(comanda.anchoColumna * 40, utiles);
    // The 58 mm roll prints 32 columns at 7 pt within 48 mm.
    const FuenteResuelta& angosto = catalogo.resolver({QStringLiteral("Courier 14 CPI"), 7.0F, false, false});
    EXPECT_LT(angosto.anchoColumna * 32, 48.0 * twipsPorMilimetro);
}

TEST(Fuentes, UnNombreDesconocidoSinPasoUsaLaFuenteQueOfrezcaElSistema) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({QStringLiteral("Fuente Que No Existe"), 10.0F, false, false});
    EXPECT_GT(f.anchoTexto(QStringLiteral("HOLA")), 0.0);
    EXPECT_DOUBLE_EQ(f.fuente.pointSizeF(), 10.0);
}

TEST(Fuentes, SeResuelveUnaVezPorEstilo) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& a = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 12.0F, false, false});
    const FuenteResuelta& b = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 12.0F, false, false});
    const FuenteResuelta& c = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 12.0F, true, false});
    EXPECT_EQ(&a, &b);
    EXPECT_NE(&a, &c);
    EXPECT_TRUE(c.fuente.bold());
    EXPECT_TRUE(catalogo.resolver({QStringLiteral("Courier 17 CPI"), 12.0F, false, true}).fuente.underline());
}

} // namespace
