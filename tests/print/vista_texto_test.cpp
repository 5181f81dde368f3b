#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"

namespace kestrel::prueba {
namespace {

using E = ElementoLinea;

struct CasoLinea {
    const char* nombre;
    Linea elementos;
    QStringList esperado;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CasoLinea& c, std::ostream* os) {
    *os << c.nombre;
}

class VistaLineas : public testing::TestWithParam<CasoLinea> {};

TEST_P(VistaLineas, Transcribe) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.imprimir(GetParam().elementos);
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1);
    EXPECT_EQ(vista.documentos()[0].texto(false), GetParam().esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Reglas, VistaLineas,
    testing::Values(
        CasoLinea{"textoTalCual", {E::deTexto(QStringLiteral("Hola"))}, {QStringLiteral("Hola")}},
        CasoLinea{"lineaVacia", {}, {QString()}},
        CasoLinea{"numeroConBlancos",
                  {E::deTexto(QStringLiteral("x")), E::deNumero(Decimal(2)), E::deTexto(QStringLiteral("y"))},
                  {QStringLiteral("x 2 y")}},
        CasoLinea{"numeroNegativoSinBlancoDelante",
                  {E::deTexto(QStringLiteral("x")), E::deNumero(Decimal(-3)), E::deTexto(QStringLiteral("y"))},
                  {QStringLiteral("x-3 y")}},
        CasoLinea{
            "numeroConComaDecimal", {E::deNumero(*Decimal::desdeTextoInvariante(u"1.5"))}, {QStringLiteral(" 1,5")}},
        CasoLinea{"columnaRellena", {E::deColumna(5), E::deTexto(QStringLiteral("ab"))}, {QStringLiteral("    ab")}},
        CasoLinea{"columnaBajoUnoEsUno", {E::deColumna(-4), E::deTexto(QStringLiteral("ab"))}, {QStringLiteral("ab")}},
        CasoLinea{"columnaJustoAlFinal",
                  {E::deTexto(QStringLiteral("abcd")), E::deColumna(5), E::deTexto(QStringLiteral("e"))},
                  {QStringLiteral("abcde")}},
        CasoLinea{"columnaYaPasadaSaltaDeLinea",
                  {E::deTexto(QStringLiteral("abcdef")), E::deColumna(3), E::deTexto(QStringLiteral("x"))},
                  {QStringLiteral("abcdef"), QStringLiteral("  x")}},
        CasoLinea{
            "blancosFinalesFuera", {E::deTexto(QStringLiteral("ab   ")), E::deColumna(10)}, {QStringLiteral("ab")}},
        CasoLinea{"soloBlancosEsLineaVacia", {E::deTexto(QStringLiteral(" "))}, {QString()}}),
    [](const testing::TestParamInfo<CasoLinea>& i) { return std::string(i.param.nombre); });

TEST(VistaTexto, LineaSinSaltoSigueEnLaSiguienteLlamada) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.imprimir({E::deTexto(QStringLiteral("TOTAL"))}, false);
    vista.imprimir({E::deColumna(10), E::deTexto(QStringLiteral("9"))});
    vista.imprimir({E::deTexto(QStringLiteral("cola"))}, false);
    vista.finDocumento();
    EXPECT_EQ(vista.documentos()[0].texto(false), (QStringList{QStringLiteral("TOTAL    9"), QStringLiteral("cola")}));
}

TEST(VistaTexto, AnotaTamanoNegritaEImagenes) {
    ImpresoraVistaTexto vista(QStringLiteral("Facturas"));
    vista.fijarMedidorImagenes([](const QString&) { return QSize(100, 50); });
    vista.imprimir({E::deTexto(QStringLiteral("a"))});
    vista.fijarTamanoFuente(15);
    vista.fijarNegrita(true);
    vista.imprimir({E::deTexto(QStringLiteral("b"))});
    vista.dibujarImagen(QStringLiteral("logo.bmp"), 1.4, 20, 2880.5, 1440);
    vista.fijarTamanoFuente(7.5F);
    vista.fijarNegrita(false);
    vista.imprimir({});
    vista.finDocumento();
    const DocumentoVista& d = vista.documentos()[0];
    EXPECT_EQ(d.texto(true), (QStringList{QStringLiteral("[10] a"), QStringLiteral("[15B] b"),
                                          QStringLiteral("[imagen 2881x1440 en 1,20]"), QStringLiteral("[7.5]")}));
    EXPECT_EQ(d.texto(false), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QString()}));
}

TEST(VistaTexto, ImagenIlegibleFalla) {
    ImpresoraVistaTexto sinMedidor(QStringLiteral("Facturas"));
    EXPECT_THROW(sinMedidor.dibujarImagen(QStringLiteral("logo.bmp"), 0, 0, 1, 1), FalloPlataforma);
    ImpresoraVistaTexto rota(QStringLiteral("Facturas"));
    rota.fijarMedidorImagenes([](const QString&) -> QSize { throw FalloPlataforma(481, QStringLiteral("x")); });
    EXPECT_THROW(rota.dibujarImagen(QStringLiteral("logo.bmp"), 0, 0, 1, 1), FalloPlataforma);
    rota.finDocumento();
    EXPECT_TRUE(rota.documentos().isEmpty());
}

TEST(VistaTexto, MideConPasoFijo) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    EXPECT_EQ(vista.anchoTexto(QStringLiteral("=====")), 5 * 10 * 12);
    EXPECT_EQ(vista.altoTexto(QStringLiteral("x")), 240);
    vista.fijarTamanoFuente(7);
    EXPECT_EQ(vista.anchoTexto(QStringLiteral("ñandú")), 5 * 7 * 12);
    EXPECT_EQ(vista.altoTexto(QString()), 168);
}

TEST(VistaTexto, DescartarNoDejaNadaParaElSiguienteDocumento) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.imprimir({E::deTexto(QStringLiteral("a medias"))});
    vista.imprimir({E::deTexto(QStringLiteral("sin salto"))}, false);
    vista.descartarDocumento();
    vista.imprimir({E::deTexto(QStringLiteral("siguiente"))});
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1);
    EXPECT_EQ(vista.documentos()[0].texto(false), QStringList{QStringLiteral("siguiente")});
}

TEST(VistaTexto, FinSinNadaImpresoNoEsUnDocumento) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.sondear();
    vista.cerrarSondeo();
    vista.finDocumento();
    EXPECT_TRUE(vista.documentos().isEmpty());
}

TEST(SistemaVistaTexto, ActualEsLaPredeterminadaHastaSeleccionar) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, QStringLiteral("Cocina"));
    EXPECT_EQ(sistema.actual().nombreDispositivo(), QStringLiteral("Cocina"));
    sistema.seleccionar(0);
    EXPECT_EQ(sistema.actual().nombreDispositivo(), QStringLiteral("Facturas"));
    EXPECT_THROW(sistema.seleccionar(2), FalloPlataforma);
    EXPECT_THROW(sistema.seleccionar(-1), FalloPlataforma);
}

TEST(SistemaVistaTexto, SinPredeterminadaInstaladaNoHayImpresoraUsable) {
    SistemaVistaTexto sistema({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    EXPECT_THROW(sistema.actual().nombreDispositivo(), FalloPlataforma);
    EXPECT_THROW(sistema.actual().imprimir({}), FalloPlataforma);
    EXPECT_NO_THROW(sistema.actual().descartarDocumento());
}

TEST(SistemaVistaTexto, AveriadaFallaElSondeoPeroDiceSuNombre) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    sistema.fijarAveriada(QStringLiteral("Cocina"));
    sistema.seleccionar(1);
    EXPECT_EQ(sistema.actual().nombreDispositivo(), QStringLiteral("Cocina"));
    EXPECT_THROW(sistema.actual().sondear(), FalloPlataforma);
    EXPECT_THROW(sistema.escribirCrudo(QStringLiteral("Cocina"), "x"), FalloPlataforma);
    sistema.seleccionar(0);
    EXPECT_NO_THROW(sistema.actual().sondear());
}

TEST(SistemaVistaTexto, DocumentosEnElOrdenEnQueTerminan) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    QStringList vistos;
    sistema.fijarAlTerminar([&vistos](const DocumentoVista& d) { vistos << d.impresora; });
    sistema.seleccionar(1);
    sistema.actual().imprimir({E::deTexto(QStringLiteral("c"))});
    sistema.seleccionar(0);
    sistema.actual().imprimir({E::deTexto(QStringLiteral("f"))});
    sistema.actual().finDocumento();
    sistema.seleccionar(1);
    sistema.actual().finDocumento();
    EXPECT_EQ(vistos, (QStringList{QStringLiteral("Facturas"), QStringLiteral("Cocina")}));
    ASSERT_EQ(sistema.documentos().size(), 2);
    EXPECT_EQ(sistema.documentos()[1].texto(false), QStringList{QStringLiteral("c")});
}

TEST(SistemaVistaTexto, EscrituraCrudaSoloAImpresorasInstaladas) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas")}, QStringLiteral("Facturas"));
    const QByteArray pulso("\x1B\x70\x00\x3C\xF0", 5);
    sistema.escribirCrudo(QStringLiteral("Facturas"), pulso);
    EXPECT_THROW(sistema.escribirCrudo(QStringLiteral("Bar"), pulso), FalloPlataforma);
    ASSERT_EQ(sistema.escriturasCrudas().size(), 1);
    EXPECT_EQ(sistema.escriturasCrudas()[0].datos, pulso);
    EXPECT_TRUE(sistema.documentos().isEmpty());
}

} // namespace
} // namespace kestrel::prueba
