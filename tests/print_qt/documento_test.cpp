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

/// Where a run of text landed: line index, column (in character widths, from 1) and text.
struct Colocado {
    int renglon;
    int columna;
    QString texto;
    bool operator==(const Colocado&) const = default;
};

void PrintTo(const Colocado& c, std::ostream* os) {
    *os << "{" << c.renglon << ", " << c.columna << ", \"" << c.texto.toStdString() << "\"}";
}

struct CasoColocacion {
    const char* nombre;
    QList<Llamada> llamadas;
    QList<Colocado> esperado;
};

// Short test names when CTest lists them.
void PrintTo(const CasoColocacion& c, std::ostream* os) {
    *os << c.nombre;
}

class Colocacion : public ::testing::TestWithParam<CasoColocacion> {};

TEST_P(Colocacion, ComoUnaImpresoraDeLineas) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({QStringLiteral("Courier 14 CPI"), 10.0F, false, false});
    DocumentoGrabado d(QLocale(QLocale::Spanish, QLocale::Colombia));
    for (const Llamada& l : GetParam().llamadas)
        d.imprimir(l.elementos, l.salto, f);
    QList<Colocado> obtenido;
    for (int r = 0; r < d.renglones().size(); ++r) {
        for (const TrazoTexto& t : d.renglones()[r].trazos) {
            EXPECT_DOUBLE_EQ(t.posicion.y(), d.renglones()[r].y);
            obtenido.append({r, static_cast<int>(std::lround(t.posicion.x() / f.anchoColumna)) + 1, t.texto});
        }
    }
    EXPECT_EQ(obtenido, GetParam().esperado);
}

const CasoColocacion casosColocacion[] = {
    {"texto", {{{E::deTexto("HOLA")}}}, {{0, 1, "HOLA"}}},
    {"columna", {{{E::deColumna(5), E::deTexto("X")}}}, {{0, 5, "X"}}},
    {"columnaBajoUno", {{{E::deColumna(-3), E::deTexto("X")}}}, {{0, 1, "X"}}},
    {"columnaJusta", {{{E::deTexto("ABCD"), E::deColumna(5), E::deTexto("X")}}}, {{0, 1, "ABCD"}, {0, 5, "X"}}},
    {"columnaPasada",
     {{{E::deTexto("ABCDEFGH"), E::deColumna(5), E::deTexto("X")}}},
     {{0, 1, "ABCDEFGH"}, {1, 5, "X"}}},
    {"numero", {{{E::deNumero(Decimal(1500)), E::deTexto("x")}}}, {{0, 1, " 1500 "}, {0, 7, "x"}}},
    {"numeroNegativoConDecimales", {{{E::deNumero(*Decimal::desdeTextoInvariante(u"-2.5"))}}}, {{0, 1, "-2,5 "}}},
    {"lineasVaciasAvanzan", {{{}}, {{}}, {{E::deTexto("C")}}}, {{2, 1, "C"}}},
    {"sinSaltoSigueEnLaLinea",
     {{{E::deTexto("AB")}, false}, {{E::deColumna(10), E::deTexto("C")}}},
     {{0, 1, "AB"}, {0, 10, "C"}}},
    {"cantidadNombreValor",
     {{{E::deNumero(Decimal(2)), E::deColumna(7), E::deTexto("HAMBURGUESA"), E::deColumna(34), E::deTexto("25.000")}}},
     {{0, 1, " 2 "}, {0, 7, "HAMBURGUESA"}, {0, 34, "25.000"}}},
};

INSTANTIATE_TEST_SUITE_P(Documento, Colocacion, ::testing::ValuesIn(casosColocacion),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

TEST(Documento, CadaLineaBajaLoQueMideSuFuenteMasAlta) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& chica = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 10.0F, false, false});
    const FuenteResuelta& grande = catalogo.resolver({QStringLiteral("Courier 17 CPI"), 16.0F, false, false});
    DocumentoGrabado d;
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

TEST(Documento, SoloLasFuentesNoHacenUnTrabajo) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({});
    DocumentoGrabado d;
    d.fijarFuente({});
    EXPECT_TRUE(d.vacio());
    d.imprimir({}, true, f);
    EXPECT_FALSE(d.vacio());
}

struct CasoPaginas {
    const char* nombre;
    QList<double> altos;
    double altoPagina;
    QList<std::pair<int, int>> paginas;
};

// Short test names when CTest lists them.
void PrintTo(const CasoPaginas& c, std::ostream* os) {
    *os << c.nombre;
}

class Paginas : public ::testing::TestWithParam<CasoPaginas> {};

TEST_P(Paginas, UnaLineaQueNoCabeEmpiezaLaPaginaSiguiente) {
    CatalogoFuentes catalogo;
    DocumentoGrabado d;
    for (double alto : GetParam().altos) {
        EstiloFuente e;
        e.puntos = static_cast<float>(alto);
        d.imprimir({E::deTexto("x")}, true, catalogo.resolver(e));
    }
    // Heights in the table are in points of font size; turn the page height into the same scale.
    const double porPunto = catalogo.resolver({QString(), 10.0F, false, false}).alto / 10.0;
    QList<std::pair<int, int>> obtenido;
    for (const PaginaDocumento& p : paginar(d, GetParam().altoPagina * porPunto))
        obtenido.append({p.desde, p.hasta});
    EXPECT_EQ(obtenido, GetParam().paginas);
}

const CasoPaginas casosPaginas[] = {
    {"todoCabe", {10, 10, 10}, 30.5, {{0, 4}}},
    {"justoLleno", {10, 10, 10}, 30.05, {{0, 4}}},
    {"terceraPasa", {10, 10, 10}, 25, {{0, 2}, {2, 4}}},
    {"variasPaginas", {10, 10, 10, 10, 10}, 20.5, {{0, 2}, {2, 4}, {4, 6}}},
    {"lineaMasAltaQueLaPagina", {10, 40, 10}, 20.5, {{0, 1}, {1, 2}, {2, 4}}},
    {"sinLimite", {10, 10}, 0, {{0, 3}}},
    {"laLineaAbiertaNoPideOtraPagina", {10, 40}, 20.5, {{0, 1}, {1, 3}}},
};

INSTANTIATE_TEST_SUITE_P(Documento, Paginas, ::testing::ValuesIn(casosPaginas),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

struct CasoTranscripcion {
    const char* nombre;
    QList<Llamada> llamadas;
    QStringList lineas;
};

// Short test names when CTest lists them.
void PrintTo(const CasoTranscripcion& c, std::ostream* os) {
    *os << c.nombre;
}

class Transcripcion : public ::testing::TestWithParam<CasoTranscripcion> {};

TEST_P(Transcripcion, ReglasDeLaVistaDeTexto) {
    CatalogoFuentes catalogo;
    const FuenteResuelta& f = catalogo.resolver({});
    const QLocale colombia(QLocale::Spanish, QLocale::Colombia);
    DocumentoGrabado d(colombia);
    for (const Llamada& l : GetParam().llamadas)
        d.imprimir(l.elementos, l.salto, f);
    EXPECT_EQ(transcribir(d, colombia), GetParam().lineas);
}

const CasoTranscripcion casosTranscripcion[] = {
    {"texto", {{{E::deTexto("HOLA")}}}, {"HOLA"}},
    {"blancosFinales", {{{E::deTexto("HOLA   ")}}}, {"HOLA"}},
    {"columnaRellena", {{{E::deTexto("AB"), E::deColumna(6), E::deTexto("C")}}}, {"AB   C"}},
    {"columnaPasadaCortaLaLinea", {{{E::deTexto("ABCDEF"), E::deColumna(3), E::deTexto("C")}}}, {"ABCDEF", "  C"}},
    {"columnaFinalSinTexto", {{{E::deTexto("AB"), E::deColumna(10)}}}, {"AB"}},
    {"numero", {{{E::deTexto("Pedido"), E::deNumero(Decimal(42))}}}, {"Pedido 42"}},
    {"lineaVacia", {{{}}, {{E::deTexto("x")}}}, {"", "x"}},
    {"sinSalto", {{{E::deTexto("A")}, false}, {{E::deTexto("B")}, false}}, {"AB"}},
};

INSTANTIATE_TEST_SUITE_P(Documento, Transcripcion, ::testing::ValuesIn(casosTranscripcion),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

} // namespace

namespace {

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
