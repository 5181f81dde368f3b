// The text-view printer the goldens and the preview are read through: how a line's elements become text
// (tests/data/tablas/vista_texto.json), and the printer system's choices that no golden shows.

#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

using E = ElementoLinea;

TEST(VistaTexto, ElementosDeUnaLinea) {
    comprobarTablas(QStringLiteral("vista_texto"), {{QStringLiteral("elementos"), [](const QJsonArray& a) {
                                                         ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
                                                         for (const Llamada& l : llamadasDe(a[0]))
                                                             vista.imprimir(l.elementos, l.salto);
                                                         vista.finDocumento();
                                                         return vista.documentos().value(0).texto(false).join(u'\n');
                                                     }}});
}

TEST(VistaTexto, LoDescartadoYUnSondeoSinLineasNoSonDocumentos) {
    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.imprimir({E::deTexto("a medias")});
    vista.descartarDocumento();
    vista.sondear();
    vista.cerrarSondeo();
    vista.finDocumento();
    EXPECT_TRUE(vista.documentos().isEmpty());
    vista.imprimir({E::deTexto("siguiente")});
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1);
    EXPECT_EQ(vista.documentos()[0].texto(false), QStringList{QStringLiteral("siguiente")});
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
