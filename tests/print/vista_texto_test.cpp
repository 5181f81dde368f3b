// The text-view printer the goldens and the preview are read through: how a line's elements become text, and
// the printer system's choices that no golden shows.

#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"

namespace kestrel::prueba {
namespace {

using E = ElementoLinea;

TEST(VistaTexto, ElementosDeUnaLinea) {
    const struct {
        const char* nombre;
        QList<Linea> llamadas;
        QStringList esperado;
    } casos[] = {
        {"lineaVacia", {{}}, {QString()}},
        {"numeroConBlancos", {{E::deTexto("x"), E::deNumero(Decimal(2)), E::deTexto("y")}}, {"x 2 y"}},
        {"negativoSinBlancoDelante", {{E::deTexto("x"), E::deNumero(Decimal(-3)), E::deTexto("y")}}, {"x-3 y"}},
        {"comaDecimal", {{E::deNumero(*Decimal::desdeTextoInvariante(u"1.5"))}}, {" 1,5"}},
        {"columnaRellena", {{E::deColumna(5), E::deTexto("ab")}}, {"    ab"}},
        {"columnaBajoUnoEsUno", {{E::deColumna(-4), E::deTexto("ab")}}, {"ab"}},
        {"columnaJustoAlFinal", {{E::deTexto("abcd"), E::deColumna(5), E::deTexto("e")}}, {"abcde"}},
        {"columnaPasadaSaltaDeLinea", {{E::deTexto("abcdef"), E::deColumna(3), E::deTexto("x")}}, {"abcdef", "  x"}},
        {"blancosFinalesFuera", {{E::deTexto("ab   "), E::deColumna(10)}}, {"ab"}},
        {"soloBlancosEsLineaVacia", {{E::deTexto(" ")}}, {QString()}},
    };
    for (const auto& c : casos) {
        ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
        for (const Linea& l : c.llamadas)
            vista.imprimir(l);
        vista.finDocumento();
        ASSERT_EQ(vista.documentos().size(), 1) << c.nombre;
        EXPECT_EQ(vista.documentos()[0].texto(false), c.esperado) << c.nombre;
    }
}

TEST(VistaTexto, LineaSinSaltoYDescarte) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.imprimir({E::deTexto("a medias")});
    vista.descartarDocumento();
    vista.imprimir({E::deTexto("TOTAL")}, false);
    vista.imprimir({E::deColumna(10), E::deTexto("9")});
    vista.finDocumento();
    vista.sondear();
    vista.cerrarSondeo();
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1) << "un sondeo sin lineas no es un documento";
    EXPECT_EQ(vista.documentos()[0].texto(false), QStringList{QStringLiteral("TOTAL    9")});
}

TEST(VistaTexto, AnotaTamanoNegritaEImagenes) {
    ImpresoraVistaTexto vista(QStringLiteral("Facturas"));
    EXPECT_THROW(vista.dibujarImagen(QStringLiteral("logo.bmp"), 0, 0, 1, 1), FalloPlataforma) << "sin medidor";
    vista.fijarMedidorImagenes([](const QString&) { return QSize(100, 50); });
    vista.fijarTamanoFuente(15);
    vista.fijarNegrita(true);
    vista.imprimir({E::deTexto("b")});
    vista.dibujarImagen(QStringLiteral("logo.bmp"), 1.4, 20, 2880.5, 1440);
    vista.fijarTamanoFuente(7.5F);
    vista.fijarNegrita(false);
    vista.imprimir({});
    vista.finDocumento();
    const DocumentoVista& d = vista.documentos()[0];
    EXPECT_EQ(d.texto(true), (QStringList{"[15B] b", "[imagen 2881x1440 en 1,20]", "[7.5]"}));
    EXPECT_EQ(d.texto(false), (QStringList{"b", QString()}));
}

TEST(SistemaVistaTexto, SeleccionYDocumentosEnElOrdenEnQueTerminan) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, QStringLiteral("Cocina"));
    EXPECT_EQ(sistema.actual().nombreDispositivo(), QStringLiteral("Cocina"));
    EXPECT_THROW(sistema.seleccionar(2), FalloPlataforma);
    EXPECT_THROW(sistema.seleccionar(-1), FalloPlataforma);
    sistema.actual().imprimir({E::deTexto("c")});
    sistema.seleccionar(0);
    sistema.actual().imprimir({E::deTexto("f")});
    sistema.actual().finDocumento();
    sistema.seleccionar(1);
    sistema.actual().finDocumento();
    ASSERT_EQ(sistema.documentos().size(), 2);
    EXPECT_EQ(sistema.documentos()[0].impresora, QStringLiteral("Facturas"));
    EXPECT_EQ(sistema.documentos()[1].texto(false), QStringList{QStringLiteral("c")});
    EXPECT_THROW(sistema.escribirCrudo(QStringLiteral("Bar"), "x"), FalloPlataforma);
}

} // namespace
} // namespace kestrel::prueba
