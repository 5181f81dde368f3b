#include <gtest/gtest.h>

#include "print/qt/documento.h"
#include "print/qt/pintor.h"
#include "print/qt/transcripcion.h"
#include "print/vista_texto.h"

using namespace kestrel;

namespace {

using E = ElementoLinea;

struct Llamada {
    Linea elementos;
    bool salto = true;
};

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);

DocumentoGrabado grabar(const QList<Llamada>& llamadas, const FuenteResuelta& f) {
    DocumentoGrabado d(colombia);
    for (const Llamada& l : llamadas)
        d.imprimir(l.elementos, l.salto, f);
    return d;
}

// Where each run of text lands, as "line:column:text" with the column in character widths from 1: the
// columns of a line printer, on a page.
TEST(Documento, ColocacionComoUnaImpresoraDeLineas) {
    const struct {
        const char* nombre;
        QList<Llamada> llamadas;
        QStringList esperado;
    } casos[] = {
        {"texto", {{{E::deTexto("HOLA")}}}, {"0:1:HOLA"}},
        {"columna", {{{E::deColumna(5), E::deTexto("X")}}}, {"0:5:X"}},
        {"columnaBajoUno", {{{E::deColumna(-3), E::deTexto("X")}}}, {"0:1:X"}},
        {"columnaJusta", {{{E::deTexto("ABCD"), E::deColumna(5), E::deTexto("X")}}}, {"0:1:ABCD", "0:5:X"}},
        {"columnaPasada", {{{E::deTexto("ABCDEFGH"), E::deColumna(5), E::deTexto("X")}}}, {"0:1:ABCDEFGH", "1:5:X"}},
        {"numero", {{{E::deNumero(Decimal(1500)), E::deTexto("x")}}}, {"0:1: 1500 ", "0:7:x"}},
        {"negativoConDecimales", {{{E::deNumero(*Decimal::desdeTextoInvariante(u"-2.5"))}}}, {"0:1:-2,5 "}},
        {"lineasVaciasAvanzan", {{{}}, {{}}, {{E::deTexto("C")}}}, {"2:1:C"}},
        {"sinSalto", {{{E::deTexto("AB")}, false}, {{E::deColumna(10), E::deTexto("C")}}}, {"0:1:AB", "0:10:C"}},
        {"cantidadNombreValor",
         {{{E::deNumero(Decimal(2)), E::deColumna(7), E::deTexto("PAN"), E::deColumna(34), E::deTexto("25.000")}}},
         {"0:1: 2 ", "0:7:PAN", "0:34:25.000"}},
    };
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({QStringLiteral("Courier 14 CPI"), 10.0F, false, false});
    for (const auto& c : casos) {
        const DocumentoGrabado d = grabar(c.llamadas, f);
        QStringList obtenido;
        for (int r = 0; r < d.renglones().size(); ++r) {
            for (const TrazoTexto& t : d.renglones()[r].trazos) {
                EXPECT_DOUBLE_EQ(t.posicion.y(), d.renglones()[r].y) << c.nombre;
                obtenido << QStringLiteral("%1:%2:%3")
                                .arg(r)
                                .arg(std::lround(t.posicion.x() / f.anchoColumna) + 1)
                                .arg(t.texto);
            }
        }
        EXPECT_EQ(obtenido, c.esperado) << c.nombre;
    }
}

TEST(Documento, CadaLineaBajaLoQueMideSuFuenteMasAlta) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& chica = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 10.0F, false, false});
    const FuenteResuelta& grande = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 16.0F, false, false});
    DocumentoGrabado d;
    EXPECT_TRUE(d.vacio());
    d.fijarFuente({});
    EXPECT_TRUE(d.vacio()) << "solo las fuentes no hacen un trabajo";
    d.imprimir({E::deTexto("MESA 4")}, true, grande);
    d.imprimir({E::deTexto("a")}, false, chica);
    d.imprimir({E::deTexto("B")}, true, grande);
    d.imprimir({}, true, chica);
    ASSERT_EQ(d.renglones().size(), 4);
    EXPECT_DOUBLE_EQ(d.renglones()[1].y, grande.alto);
    EXPECT_DOUBLE_EQ(d.renglones()[2].y, 2 * grande.alto);
    EXPECT_DOUBLE_EQ(d.renglones()[3].y, 2 * grande.alto + chica.alto);
    EXPECT_DOUBLE_EQ(d.altoTexto(), 2 * grande.alto + chica.alto);
    EXPECT_GT(grande.alto, chica.alto * 1.5);
}

// A line that does not fit starts the next page. Heights are in points of font size, the page height in the
// same scale; each page is [desde, hasta).
TEST(Documento, Paginas) {
    const struct {
        const char* nombre;
        QList<double> altos;
        double altoPagina;
        QList<std::pair<int, int>> paginas;
    } casos[] = {
        {"todoCabe", {10, 10, 10}, 30.5, {{0, 4}}},
        {"justoLleno", {10, 10, 10}, 30.05, {{0, 4}}},
        {"terceraPasa", {10, 10, 10}, 25, {{0, 2}, {2, 4}}},
        {"variasPaginas", {10, 10, 10, 10, 10}, 20.5, {{0, 2}, {2, 4}, {4, 6}}},
        {"lineaMasAltaQueLaPagina", {10, 40, 10}, 20.5, {{0, 1}, {1, 2}, {2, 4}}},
        {"sinLimite", {10, 10}, 0, {{0, 3}}},
        {"laLineaAbiertaNoPideOtraPagina", {10, 40}, 20.5, {{0, 1}, {1, 3}}},
    };
    CatalogoFuentes catalogo;
    const double porPunto = catalogo.resolver({QString(), 10.0F, false, false}).alto / 10.0;
    for (const auto& c : casos) {
        DocumentoGrabado d;
        for (double alto : c.altos)
            d.imprimir({E::deTexto("x")}, true, catalogo.resolver({QString(), static_cast<float>(alto), false, false}));
        QList<std::pair<int, int>> obtenido;
        for (const PaginaDocumento& p : paginar(d, c.altoPagina * porPunto))
            obtenido.append({p.desde, p.hasta});
        EXPECT_EQ(obtenido, c.paginas) << c.nombre;
    }
}

TEST(Documento, TranscripcionComoLaVistaDeTexto) {
    const struct {
        QList<Llamada> llamadas;
        QStringList lineas;
    } casos[] = {
        {{{{E::deTexto("HOLA   ")}}}, {"HOLA"}},
        {{{{E::deTexto("AB"), E::deColumna(6), E::deTexto("C")}}}, {"AB   C"}},
        {{{{E::deTexto("ABCDEF"), E::deColumna(3), E::deTexto("C")}}}, {"ABCDEF", "  C"}},
        {{{{E::deTexto("AB"), E::deColumna(10)}}}, {"AB"}},
        {{{{E::deTexto("Pedido"), E::deNumero(Decimal(42))}}}, {"Pedido 42"}},
        {{{{}}, {{E::deTexto("x")}}}, {"", "x"}},
        {{{{E::deTexto("A")}, false}, {{E::deTexto("B")}, false}}, {"AB"}},
    };
    CatalogoFuentes catalogo;
    for (const auto& c : casos)
        EXPECT_EQ(transcribir(grabar(c.llamadas, catalogo.resolver({})), colombia), c.lineas)
            << c.lineas.join('|').toStdString();
}

TEST(Documento, LaReproduccionLlevaFuentesEImagenesALaVistaDeTexto) {
    CatalogoFuentes catalogo;
    DocumentoGrabado d;
    EstiloFuente estilo{QStringLiteral("Courier 17 CPI"), 16.0F, true, false};
    d.fijarFuente(estilo);
    d.imprimir({E::deTexto("Mesa 4")}, true, catalogo.resolver(estilo));
    d.dibujarImagen(QStringLiteral("logo.bmp"), QImage(), QRectF(500, 20, 2000, 1000));
    estilo = {QStringLiteral("Courier 17 CPI"), 12.0F, false, false};
    d.fijarFuente(estilo);
    d.imprimir({E::deNumero(Decimal(2)), E::deColumna(7), E::deTexto("Pan")}, true, catalogo.resolver(estilo));

    ImpresoraVistaTexto vista(QStringLiteral("Cocina"));
    vista.fijarMedidorImagenes([](const QString&) { return QSize(); });
    reproducir(d, vista);
    vista.finDocumento();
    ASSERT_EQ(vista.documentos().size(), 1);
    EXPECT_EQ(vista.documentos()[0].texto(true),
              QStringList({"[16B] Mesa 4", "[imagen 2000x1000 en 500,20]", "[12]  2    Pan"}));
    EXPECT_EQ(transcribir(d), QStringList({"Mesa 4", " 2    Pan"}));
}

} // namespace
