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

TEST(Fuentes, UnNombreDesconocidoSinPasoUsaLaFuenteQueOfrezcaElSistema) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({QStringLiteral("Fuente Que No Existe"), 10.0F, false, false});
    EXPECT_GT(f.anchoTexto(QStringLiteral("HOLA")), 0.0);
    EXPECT_DOUBLE_EQ(f.fuente.pointSizeF(), 10.0);
}

// Each style is its own font: a catalogue that kept one font a name would print bold lines plain.
TEST(Fuentes, CadaEstiloEsSuFuente) {
    CatalogoFuentes catalogo;
    const QString nombre = QStringLiteral("Courier 17 CPI");
    EXPECT_FALSE(catalogo.resolver({nombre, 12.0F, false, false}).fuente.bold());
    EXPECT_TRUE(catalogo.resolver({nombre, 12.0F, true, false}).fuente.bold());
    EXPECT_TRUE(catalogo.resolver({nombre, 12.0F, false, true}).fuente.underline());
}

} // namespace
