// What the goldens cannot show: how one message's failure leaves the printers for the next message.

#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "json/json.h"
#include "print/comanda.h"
#include "print/seleccion.h"

namespace kestrel::prueba {
namespace {

Collection& dato(Valor& raiz) {
    return raiz.comoDictionary().item(QStringLiteral("dato")).comoCollection();
}

Valor mensaje(const char* json) {
    Valor v = jsonParse(QString::fromUtf8(json));
    EXPECT_TRUE(jsonErrors().isEmpty()) << jsonErrors().toStdString();
    return v;
}

const char* const fallaEnCocina = R"({"dato":[{"area":"Cocina","titulo":null,"nomMesa":"Mesa 1","productos":[
    {"nombre":"Arepa","cantidad":1,"detalle":[]},{"nombre":"Te","cantidad":1,"detalle":"sin hielo"}]}]})";

const char* const sanaEnCocina = R"({"dato":[{"area":"Cocina","titulo":null,"nomMesa":"Mesa 2","productos":[
    {"nombre":"Jugo","cantidad":1,"detalle":[]}],"responsable":"Luz","nPedido":7,"fecha":"hoy"}]})";

TEST(ComandaFallida, NoSePegaAlSiguienteTiquete) {
    Banco b;
    Valor primero = mensaje(fallaEnCocina);
    imprimirComanda(b.ctx, dato(primero));
    ASSERT_EQ(b.avisos.globos.size(), 1);
    EXPECT_EQ(b.avisos.globos[0].titulo, QStringLiteral("Comanda"));
    EXPECT_EQ(b.avisos.globos[0].icono, iconoglobo::advertencia);
    EXPECT_TRUE(b.sistema.documentos().isEmpty());

    Valor segundo = mensaje(sanaEnCocina);
    imprimirComanda(b.ctx, dato(segundo));
    ASSERT_EQ(b.sistema.documentos().size(), 1);
    const QStringList lineas = b.sistema.documentos()[0].texto(false);
    EXPECT_TRUE(lineas.contains(QStringLiteral("Mesa 2")));
    EXPECT_FALSE(lineas.contains(QStringLiteral("Mesa 1")));
    EXPECT_FALSE(lineas.contains(QStringLiteral("1 AREPA")));
    EXPECT_EQ(lineas.first().trimmed(), QStringLiteral("COCINA"));
}

TEST(AnulacionFallida, DescartaYAvisaAlLlamador) {
    Banco b;
    Valor primero = mensaje(fallaEnCocina);
    EXPECT_THROW(imprimirAnulacion(b.ctx, dato(primero)), FalloPlataforma);
    EXPECT_TRUE(b.sistema.impresora(QStringLiteral("Cocina"))->documentoAbierto().isEmpty());
    Valor segundo = mensaje(sanaEnCocina);
    imprimirAnulacion(b.ctx, dato(segundo));
    ASSERT_EQ(b.sistema.documentos().size(), 1);
    EXPECT_FALSE(b.sistema.documentos()[0].texto(false).contains(QStringLiteral("Mesa 1")));
}

TEST(ComandaSinImpresoras, LaNombradaYLaPredeterminadaAusentesTerminanEnOrden) {
    // The default printer is gone (unplugged since start-up) but Cocina is current from an earlier ticket.
    Banco b({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    b.ctx.impresoras.seleccionar(0);
    Valor m = mensaje(R"({"dato":[{"area":"Bar","productos":[]},{"area":"Cocina","productos":[]}]})");
    imprimirComanda(b.ctx, dato(m));
    ASSERT_EQ(b.avisos.globos.size(), 1);
    EXPECT_EQ(b.avisos.globos[0].mensaje,
              QStringLiteral("No esta instalada la impresora Bar ni la predeterminada Facturas"));
    EXPECT_EQ(b.avisos.globos[0].titulo, QStringLiteral("Comanda"));
    EXPECT_TRUE(b.sistema.documentos().isEmpty()) << "las comandas que siguen se pierden, como dice el globo";
}

TEST(ComandaImpresoraNoUsable, SeIgnoraEnSilencio) {
    Banco b({QStringLiteral("Cocina")}, QString());
    Valor m = mensaje(sanaEnCocina);
    imprimirComanda(b.ctx, dato(m));
    imprimirAnulacion(b.ctx, dato(m));
    abrirCajon(b.ctx);
    EXPECT_TRUE(b.avisos.globos.isEmpty());
    EXPECT_TRUE(b.sistema.documentos().isEmpty());
}

TEST(ComandaSinConfiguracion, FallaConGlobo) {
    Banco b;
    b.ctx.configuracion = Valor();
    Valor m = mensaje(sanaEnCocina);
    imprimirComanda(b.ctx, dato(m));
    ASSERT_EQ(b.avisos.globos.size(), 1);
    EXPECT_EQ(b.avisos.globos[0].icono, iconoglobo::advertencia);
    EXPECT_TRUE(b.sistema.documentos().isEmpty());
    EXPECT_TRUE(b.sistema.impresora(QStringLiteral("Cocina"))->documentoAbierto().isEmpty());
}

TEST(Cajon, NoImprimeNadaNiDejaElAvisoAbierto) {
    Banco b;
    b.sistema.fijarAveriada(QStringLiteral("Facturas"));
    b.sistema.fijarPredeterminada(QStringLiteral("Bar"));
    abrirCajon(b.ctx);
    ASSERT_EQ(b.sistema.escriturasCrudas().size(), 1);
    EXPECT_EQ(b.sistema.escriturasCrudas()[0].impresora, QStringLiteral("Bar"));
    EXPECT_EQ(b.sistema.escriturasCrudas()[0].datos, QByteArray("\x1B\x70\x00\x3C\xF0", 5));
    Valor m = mensaje(R"({"dato":[{"area":"Bar","titulo":null,"nomMesa":"Barra","productos":[]}]})");
    imprimirComanda(b.ctx, dato(m));
    ASSERT_EQ(b.sistema.documentos().size(), 1);
    EXPECT_FALSE(b.sistema.documentos()[0].texto(false).join(QLatin1Char('\n')).contains(QStringLiteral("Error en")));
}

} // namespace
} // namespace kestrel::prueba
