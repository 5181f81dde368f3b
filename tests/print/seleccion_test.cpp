// Printer choice beyond what the golden receipts show: name matching and what the current printer reports.

#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "print/seleccion.h"

namespace kestrel::prueba {
namespace {

TEST(IndiceImpresora, RecortadoYSinMayusculas) {
    Banco b({QStringLiteral("Facturas"), QStringLiteral("COCINA"), QStringLiteral(" Bar ")});
    const std::pair<const char*, int> casos[] = {
        {"  cocina ", 1}, {"COCINA", 1}, {"bar", 2}, {"Facturas", 0}, {"Terraza", 0}, {"", 0}, {"NN", 0},
    };
    for (const auto& [nombre, indice] : casos)
        EXPECT_EQ(indiceImpresora(b.ctx, QString::fromUtf8(nombre)), indice) << nombre;
    Banco sinPredeterminada({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    try {
        indiceImpresora(sinPredeterminada.ctx, QStringLiteral("Bar"));
        FAIL() << "sin fallo";
    } catch (const FalloPlataforma& f) {
        EXPECT_EQ(f.numero(), numerofallo::errorImpresora);
        EXPECT_EQ(f.descripcion(), QStringLiteral("No esta instalada la impresora Bar ni la predeterminada Facturas"));
    }
}

TEST(SeleccionarImpresora, LaNombradaSanaNoGastaPapel) {
    Banco b;
    ASSERT_TRUE(seleccionarImpresora(b.ctx, 1, 0));
    EXPECT_EQ(b.ctx.impresora().nombreDispositivo(), QStringLiteral("Cocina"));
    EXPECT_TRUE(b.abierto().isEmpty());
    EXPECT_TRUE(b.avisos.globos.isEmpty());
}

TEST(ImpresoraDisponible, SegunElNombreDelDispositivo) {
    Banco sinPredeterminada({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    EXPECT_FALSE(impresoraDisponible(sinPredeterminada.ctx));
    sinPredeterminada.ctx.impresoras.seleccionar(0);
    EXPECT_TRUE(impresoraDisponible(sinPredeterminada.ctx));
    Banco averiada;
    averiada.sistema.fijarAveriada(QStringLiteral("Facturas"));
    EXPECT_TRUE(impresoraDisponible(averiada.ctx)) << "una cola detenida sigue diciendo su nombre";
    EXPECT_EQ(impresoraPredeterminada(averiada.ctx), QStringLiteral("Facturas"));
}

} // namespace
} // namespace kestrel::prueba
