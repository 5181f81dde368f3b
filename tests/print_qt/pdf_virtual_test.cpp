#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "apoyo.h"
#include "json/fallo.h"
#include "print/qt/sistemas.h"
#include "banco.h"
#include "tablas.h"

using namespace kestrel;
using kestrel::prueba::falloO;

namespace {

using E = ElementoLinea;

constexpr double puntosPorMm = 72.0 / 25.4;

class PdfVirtual : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QDir salida{dir.filePath(QStringLiteral("salida"))};
    std::unique_ptr<SistemaImpresion> sistema =
        crearSistemaVirtual({QStringLiteral("Facturas"), QStringLiteral(" Cocina "), QStringLiteral("Bar"),
                             QStringLiteral("cocina"), QString()},
                            salida.path());

    Impresora& seleccionar(const QString& nombre) {
        sistema->seleccionar(static_cast<int>(sistema->impresoras().indexOf(nombre)));
        return sistema->actual();
    }
};

TEST_F(PdfVirtual, CadaDocumentoEsUnPdfDelAnchoDelRolloYSuVistaDeTexto) {
    // The names replace the installed printers, blanks and repeats dropped; the first is the default.
    EXPECT_EQ(sistema->impresoras(), QStringList({"Facturas", "Cocina", "Bar"}));
    EXPECT_EQ(sistema->predeterminada(), QStringLiteral("Facturas"));
    EXPECT_EQ(sistema->actual().nombreDispositivo(), QStringLiteral("Facturas"));
    EXPECT_THROW(sistema->seleccionar(3), FalloPlataforma);
    Impresora& cocina = seleccionar(QStringLiteral("Cocina"));
    cocina.sondear();
    cocina.cerrarSondeo();
    // A kitchen ticket the way the documents print one: heading, large table name, products with quantity,
    // name and amount ending one column short of the 40-column line.
    kestrel::prueba::imprimirLlamadas(cocina, QStringLiteral("print_qt/comanda-cocina.json"));
    cocina.finDocumento();

    EXPECT_EQ(::prueba::archivos(salida), QStringList({"Cocina-1.pdf", "Cocina-1.txt"}));
    const QString pdf = salida.filePath(QStringLiteral("Cocina-1.pdf"));
    const QString texto = ::prueba::textoPdf(pdf);
    EXPECT_TRUE(texto.contains(QLatin1String("COCINA"))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QLatin1String("Mesa 4")));
    EXPECT_TRUE(texto.contains(QRegularExpression(QStringLiteral("2\\s+Hamburguesa 3\\s+25.000"))))
        << texto.toStdString();
    EXPECT_TRUE(texto.contains(QLatin1String("-> SIN CEBOLLA")));

    const ::prueba::InfoPdf info = ::prueba::infoPdf(pdf);
    EXPECT_NEAR(info.pagina.width(), 80 * puntosPorMm, 0.5);
    // As long as the ticket: 14 short lines, not an A4 sheet.
    EXPECT_GT(info.pagina.height(), 40 * puntosPorMm);
    EXPECT_LT(info.pagina.height(), 120 * puntosPorMm);
    EXPECT_EQ(info.paginas, 1);
    // Nothing runs off the paper: the amounts end inside the right margin.
    EXPECT_GT(info.bordeDerecho, 60 * puntosPorMm);
    EXPECT_LT(info.bordeDerecho, 77 * puntosPorMm);

    EXPECT_EQ(
        kestrel::prueba::leerArchivo(salida.filePath(QStringLiteral("Cocina-1.txt"))),
        kestrel::prueba::leerArchivo(kestrel::prueba::carpetaDatos(QStringLiteral("print_qt/comanda-cocina.txt"))));
}

TEST_F(PdfVirtual, LaNumeracionSigueDespuesDeLoQueYaHabiaEnLaCarpeta) {
    const QString previo = salida.filePath(QStringLiteral("Bar-2.pdf"));
    ASSERT_TRUE(kestrel::prueba::escribirArchivo(previo, "de una corrida anterior"));
    Impresora& bar = seleccionar(QStringLiteral("Bar"));
    for (int n = 0; n < 2; ++n) {
        bar.imprimir({E::deTexto(QStringLiteral("documento %1").arg(n))});
        bar.finDocumento();
    }
    EXPECT_EQ(::prueba::archivos(salida),
              QStringList({"Bar-1.pdf", "Bar-1.txt", "Bar-2.pdf", "Bar-3.pdf", "Bar-3.txt"}));
    EXPECT_EQ(kestrel::prueba::leerArchivo(previo), "de una corrida anterior");
    EXPECT_EQ(kestrel::prueba::leerArchivo(salida.filePath(QStringLiteral("Bar-3.txt"))), "documento 1\n");
}

TEST_F(PdfVirtual, SinNadaImpresoNoHayTrabajoYLoDescartadoNoSeImprime) {
    Impresora& facturas = sistema->actual();
    facturas.sondear();
    facturas.cerrarSondeo();
    facturas.fijarTamanoFuente(12);
    facturas.finDocumento();
    facturas.imprimir({E::deTexto("LINEAS DE UN TICKET QUE FALLO")});
    facturas.descartarDocumento();
    EXPECT_TRUE(::prueba::archivos(salida).isEmpty());

    facturas.imprimir({E::deTexto("SIGUIENTE")});
    facturas.finDocumento();
    EXPECT_EQ(kestrel::prueba::leerArchivo(salida.filePath(QStringLiteral("Facturas-1.txt"))), "SIGUIENTE\n");
    // The font is the printer's, not the document's: it stays for the next one.
    EXPECT_EQ(facturas.tamanoFuente(), 12.0F);
}

// The narrowest roll that holds the ticket: 32 columns at 7 pt are the 58 mm roll's line, 40 at 10 pt the
// 80 mm roll's; a line wider than any roll widens the page instead of being cut.
TEST(PdfVirtualAncho, ElRolloMasAngostoQueContieneElTicket) {
    const struct {
        float puntos;
        int columnas;
        double anchoMm;
    } casos[] = {{7.0F, 32, 58.0}, {10.0F, 40, 80.0}, {10.0F, 46, 46 * 25.4 / 14 + 6}};
    for (const auto& c : casos) {
        QTemporaryDir dir;
        auto sistema = crearSistemaVirtual({QStringLiteral("Facturas")}, dir.path());
        Impresora& facturas = sistema->actual();
        facturas.fijarNombreFuente(QStringLiteral("Courier 14 CPI"));
        facturas.fijarTamanoFuente(c.puntos);
        facturas.imprimir({E::deTexto(QString(c.columnas, QLatin1Char('=')))});
        facturas.finDocumento();
        const ::prueba::InfoPdf info = ::prueba::infoPdf(dir.filePath(QStringLiteral("Facturas-1.pdf")));
        EXPECT_NEAR(info.pagina.width(), c.anchoMm * puntosPorMm, 1.0) << c.columnas;
        EXPECT_LT(info.bordeDerecho, info.pagina.width()) << "texto cortado";
    }
}

TEST_F(PdfVirtual, UnTicketLargoEsUnaSolaPaginaLarga) {
    Impresora& cocina = seleccionar(QStringLiteral("Cocina"));
    cocina.fijarTamanoFuente(12);
    for (int i = 1; i <= 180; ++i)
        cocina.imprimir({E::deTexto(QStringLiteral("Linea %1").arg(i))});
    cocina.finDocumento();
    const QString pdf = salida.filePath(QStringLiteral("Cocina-1.pdf"));
    EXPECT_EQ(::prueba::infoPdf(pdf).paginas, 1);
    EXPECT_GT(::prueba::infoPdf(pdf).pagina.height(), 600 * puntosPorMm);
    EXPECT_TRUE(::prueba::textoPdf(pdf).contains(QLatin1String("Linea 180")));
}

TEST_F(PdfVirtual, ElPulsoDelCajonQuedaTalCual) {
    const QByteArray pulso("\x1b\x70\x00\x3c\xf0", 5);
    sistema->escribirCrudo(QStringLiteral("facturas "), pulso);
    sistema->escribirCrudo(QStringLiteral("Facturas"), pulso);
    EXPECT_EQ(kestrel::prueba::leerArchivo(salida.filePath(QStringLiteral("Facturas-cajon-2.bin"))), pulso);
    EXPECT_EQ(::prueba::archivos(salida), QStringList({"Facturas-cajon-1.bin", "Facturas-cajon-2.bin"}));
    EXPECT_EQ(falloO([&] { return sistema->escribirCrudo(QStringLiteral("Caja"), pulso), QString(); }),
              QStringLiteral("fallo 482"))
        << "una impresora que no existe no abre el cajon";
}

TEST_F(PdfVirtual, LaImagenSeDibujaEnElPdfYNoDejaLineaEnLaVista) {
    Impresora& facturas = sistema->actual();
    facturas.dibujarImagen(kestrel::prueba::carpetaDatos(QStringLiteral("print_qt/imagenes/png300.png")), 500, 20, 2000,
                           800);
    facturas.imprimir({E::deTexto("RESTAURANTE")});
    EXPECT_THROW(facturas.dibujarImagen(dir.filePath(QStringLiteral("otro.bmp")), 0, 0, 10, 10), FalloPlataforma);
    facturas.finDocumento();
    const QString pdf = salida.filePath(QStringLiteral("Facturas-1.pdf"));
    EXPECT_EQ(::prueba::infoPdf(pdf).imagenes, 1);
    EXPECT_EQ(kestrel::prueba::leerArchivo(salida.filePath(QStringLiteral("Facturas-1.txt"))), "RESTAURANTE\n");
    // The page is long enough for the picture that hangs below the only line.
    EXPECT_GT(::prueba::infoPdf(pdf).pagina.height(), (820.0 / 20.0));
}

TEST(PdfVirtualSinCarpeta, UnaCarpetaImposibleHaceFallarElSondeo) {
    QTemporaryDir dir;
    ASSERT_TRUE(kestrel::prueba::escribirArchivo(dir.filePath(QStringLiteral("archivo"))));
    auto sistema = crearSistemaVirtual({QStringLiteral("Facturas")}, dir.filePath(QStringLiteral("archivo/salida")));
    EXPECT_EQ(falloO([&] { return sistema->actual().sondear(), QString(); }), QStringLiteral("fallo 482"));
    EXPECT_THROW(sistema->escribirCrudo(QStringLiteral("Facturas"), "x"), FalloPlataforma);
}

} // namespace
