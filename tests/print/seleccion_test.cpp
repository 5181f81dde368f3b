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
}

TEST(IndiceImpresora, SinLaNombradaNiLaPredeterminadaFalla) {
    Banco b({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    try {
        indiceImpresora(b.ctx, QStringLiteral("Bar"));
        FAIL() << "sin fallo";
    } catch (const FalloPlataforma& f) {
        EXPECT_EQ(f.numero(), numerofallo::errorImpresora);
        EXPECT_EQ(f.descripcion(), QStringLiteral("No esta instalada la impresora Bar ni la predeterminada Facturas"));
    }
    Banco sinNinguna({}, QString());
    EXPECT_THROW(indiceImpresora(sinNinguna.ctx, QStringLiteral("Bar")), FalloPlataforma);
}

TEST(SeleccionarImpresora, LaNombradaSanaNoImprimeNada) {
    Banco b;
    ASSERT_TRUE(seleccionarImpresora(b.ctx, 1, 0));
    EXPECT_EQ(b.ctx.impresora().nombreDispositivo(), QStringLiteral("Cocina"));
    EXPECT_TRUE(b.abierto().isEmpty()) << "el sondeo no gasta papel";
    EXPECT_TRUE(b.avisos.globos.isEmpty());
}

TEST(SeleccionarImpresora, AveriadaPasaALaPredeterminadaConElAviso) {
    Banco b;
    b.sistema.fijarAveriada(QStringLiteral("Cocina"));
    ASSERT_TRUE(seleccionarImpresora(b.ctx, 1, 0));
    EXPECT_EQ(b.ctx.impresora().nombreDispositivo(), QStringLiteral("Facturas"));
    EXPECT_EQ(b.abiertoPlano(), QStringList{QStringLiteral("Error en Impresora Facturas")});
    EXPECT_TRUE(b.avisos.globos.isEmpty());
}

TEST(SeleccionarImpresora, AmbasAveriadasGloboDeError) {
    Banco b;
    b.sistema.fijarAveriada(QStringLiteral("Cocina"));
    b.sistema.fijarAveriada(QStringLiteral("Facturas"));
    EXPECT_FALSE(seleccionarImpresora(b.ctx, 1, 0));
    ASSERT_EQ(b.avisos.globos.size(), 1);
    const Globo& g = b.avisos.globos[0];
    EXPECT_EQ(g.mensaje, QStringLiteral("Error al imprimir, La impresora Facturas no esta disponible. \r\n"
                                        "La impresora Facturas no acepta trabajos La impresora Facturas no acepta "
                                        "trabajos"));
    EXPECT_EQ(g.icono, iconoglobo::error);
    EXPECT_EQ(g.titulo, QStringLiteral("Error al imprimir"));
    EXPECT_EQ(g.tiempoMs, 30000);
    for (const QString& n : b.sistema.impresoras()) {
        EXPECT_TRUE(b.sistema.impresora(n)->documentoAbierto().isEmpty()) << n.toStdString();
    }
}

TEST(SeleccionarImpresora, PredeterminadaAveriadaEnPrimerIntentoSeReintentaUnaVez) {
    Banco b;
    b.sistema.fijarAveriada(QStringLiteral("Facturas"));
    EXPECT_FALSE(seleccionarImpresora(b.ctx, 0, 0));
    EXPECT_EQ(b.avisos.globos.size(), 1);
}

TEST(SeleccionarImpresora, AveriadaSinPredeterminadaInstaladaFalla) {
    Banco b({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    b.sistema.fijarAveriada(QStringLiteral("Cocina"));
    EXPECT_THROW(seleccionarImpresora(b.ctx, 0, 0), FalloPlataforma);
}

TEST(ImpresoraDisponible, SegunElNombreDelDispositivo) {
    Banco sana;
    EXPECT_TRUE(impresoraDisponible(sana.ctx));
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
