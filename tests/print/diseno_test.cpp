#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "print/diseno.h"

namespace kestrel::prueba {
namespace {

const QString conEnie = QStringLiteral("Tamaño de Factura");
const QString sinEnie = QStringLiteral("Tamano de Factura");

QString repetir(char c, int n) {
    return QString(n, QLatin1Char(c));
}

struct CasoRollo {
    const char* nombre;
    const char* conEnie; // nullptr: the setting is absent
    const char* sinEnie;
    int ancho;
    bool es55;
    bool es75;
    QString igual;
    QString guion;
    int anchoLinea;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CasoRollo& c, std::ostream* os) {
    *os << c.nombre;
}

class Rollo : public testing::TestWithParam<CasoRollo> {
protected:
    void SetUp() override {
        auto c = std::make_shared<Collection>();
        if (GetParam().conEnie)
            c->add(ajustes({{conEnie, QString::fromUtf8(GetParam().conEnie)}}).comoCollection().item(1));
        if (GetParam().sinEnie)
            c->add(ajustes({{sinEnie, QString::fromUtf8(GetParam().sinEnie)}}).comoCollection().item(1));
        b.ctx.configuracion = Valor(c);
    }
    Banco b;
};

TEST_P(Rollo, AnchoPruebasYSeparadores) {
    const CasoRollo& c = GetParam();
    EXPECT_EQ(anchoRollo(b.ctx), c.ancho);
    EXPECT_EQ(esRollo55(b.ctx), c.es55);
    EXPECT_EQ(esRollo75(b.ctx), c.es75);
    b.ctx.impresora().fijarTamanoFuente(12.5F);
    EXPECT_EQ(anchoLinea(b.ctx), c.anchoLinea);
    EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 12.5F) << "el tamaño exacto vuelve";
    imprimirSeparador(b.ctx, QLatin1Char('='));
    imprimirSeparador(b.ctx, QLatin1Char('-'));
    EXPECT_EQ(b.abierto(), (QStringList{c.igual, c.guion}));
    EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 12.0F) << "el separador deja el tamaño redondeado al par";
}

INSTANTIATE_TEST_SUITE_P(Ajustes, Rollo,
                         testing::Values(CasoRollo{"sinAjuste", nullptr, nullptr, 40, false, false,
                                                   "[10] " + repetir('=', 37), "[10] " + repetir('-', 39), 4200},
                                         CasoRollo{"ambos55", "rollo 55mm", "rollo 55mm", 32, true, false,
                                                   "[7] " + repetir('=', 30), "[7] " + repetir('-', 30), 2520},
                                         CasoRollo{"soloEnie55", "rollo 55mm", nullptr, 32, false, false,
                                                   "[10] " + repetir('=', 30), "[10] " + repetir('-', 30), 4200},
                                         CasoRollo{"soloSinEnie55", nullptr, "rollo 55mm", 40, true, false,
                                                   "[7] " + repetir('=', 37), "[7] " + repetir('-', 39), 2520},
                                         CasoRollo{"ambos75", "rollo 75mm", "rollo 75mm", 40, false, true,
                                                   "[10] " + repetir('=', 37), "[10] " + repetir('-', 39), 4080},
                                         CasoRollo{"ambos80", "rollo 80mm", "rollo 80mm", 40, false, false,
                                                   "[10] " + repetir('=', 37), "[10] " + repetir('-', 39), 4200},
                                         CasoRollo{"mayusculasNoCuentan", "Rollo 55mm", "ROLLO 55MM", 40, false, false,
                                                   "[10] " + repetir('=', 37), "[10] " + repetir('-', 39), 4200}),
                         [](const testing::TestParamInfo<CasoRollo>& i) { return std::string(i.param.nombre); });

TEST(EscalarColumna, DeCuarentaATreintaYDos) {
    Banco b;
    b.ctx.configuracion = ajustes({{conEnie, QStringLiteral("rollo 55mm")}});
    const std::pair<int, int> casos[] = {{5, 4},   {25, 20}, {15, 12}, {10, 8}, {22, 18}, {31, 25},
                                         {36, 29}, {33, 26}, {18, 14}, {7, 6},  {0, 0},   {-5, -4}};
    for (const auto& [columna, esperada] : casos)
        EXPECT_EQ(escalarColumna(b.ctx, columna), esperada) << columna;
    b.ctx.configuracion = lista({});
    for (const auto& [columna, esperada] : casos)
        EXPECT_EQ(escalarColumna(b.ctx, columna), columna) << columna;
}

TEST(RedondearPar, MitadesAlPar) {
    const std::pair<double, int> casos[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {18.5, 18}, {-0.5, 0}, {-1.5, -2}, {7.49, 7}};
    for (const auto& [valor, esperado] : casos)
        EXPECT_EQ(redondearPar(valor), esperado) << valor;
    EXPECT_EQ(redondearPar(32767.4), 32767);
    EXPECT_THROW(redondearPar(32767.5), FalloPlataforma);
    EXPECT_THROW(redondearPar(-40000), FalloPlataforma);
}

TEST(LargoQueCabe, PalabrasEnterasConSuBlanco) {
    struct {
        const char* texto;
        int ancho;
        int esperado;
    } const casos[] = {
        {"HOLA MUNDO", 10, 5},
        {"HOLA MUNDO", 11, 11},
        {"", 10, 0},
        {"SUPERCALIFRAGILISTICO", 18, 0},
        {"A  B", 10, 5},
        {"ARROZ CON POLLO GRANDE", 18, 16},
        {"UN PALABRAMUYLARGA Y", 18, 3},
        {"HOLA", 4, 0},
        {"HOLA", 5, 5},
    };
    for (const auto& c : casos)
        EXPECT_EQ(largoQueCabe(QString::fromUtf8(c.texto), c.ancho), c.esperado) << c.texto << " / " << c.ancho;
}

TEST(EspacioLibre, AnchoMenosTextoRecortado) {
    EXPECT_EQ(espacioLibre(QStringLiteral("  ab  "), 6), 4);
    EXPECT_EQ(espacioLibre(QStringLiteral("12.500"), 40), 34);
    EXPECT_EQ(espacioLibre(QStringLiteral("demasiado largo"), 5), -10);
    EXPECT_EQ(espacioLibre(QStringLiteral("\tab"), 6), 3) << "solo se recortan blancos";
}

struct CasoParrafo {
    const char* nombre;
    QString texto;
    int ancho;
    int alineacion;
    int sangria;
    QStringList lineas;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const CasoParrafo& c, std::ostream* os) {
    *os << c.nombre;
}

class Parrafo : public testing::TestWithParam<CasoParrafo> {};

TEST_P(Parrafo, ImprimirTexto) {
    Banco b;
    QString texto = GetParam().texto;
    imprimirTexto(b.ctx, texto, GetParam().ancho, GetParam().alineacion, GetParam().sangria);
    EXPECT_EQ(b.abiertoPlano(), GetParam().lineas);
    EXPECT_EQ(texto, GetParam().texto.toUpper());
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Parrafo,
    testing::Values(
        CasoParrafo{"holaMundoFeliz",
                    QStringLiteral("hola mundo feliz"),
                    10,
                    0,
                    0,
                    {QStringLiteral("HOLA MUNDO"), QStringLiteral("FELIZ")}},
        CasoParrafo{"centradoTres", QStringLiteral("abc"), 40, 2, 0, {QString(17, QLatin1Char(' ')) + "ABC"}},
        CasoParrafo{"centradoCuatro", QStringLiteral("abcd"), 40, 2, 0, {QString(17, QLatin1Char(' ')) + "ABCD"}},
        CasoParrafo{
            "centradoDemasiadoLargo", QStringLiteral("abcdefghijkl"), 10, 2, 0, {QStringLiteral("ABCDEFGHIJKL")}},
        CasoParrafo{"lineaVaciaDesaparece",
                    QStringLiteral("uno\r\n\r\ndos"),
                    40,
                    0,
                    0,
                    {QStringLiteral("UNO"), QStringLiteral("DOS")}},
        CasoParrafo{"saltoSueltoNoCorta", QStringLiteral("uno\ndos"), 40, 0, 0, {QStringLiteral("UNO\nDOS")}},
        CasoParrafo{"blancosColapsan", QStringLiteral("TOTAL   12500"), 40, 1, 0, {QStringLiteral("TOTAL 12500")}},
        CasoParrafo{"sangria", QStringLiteral("resto del nombre"), 40, 0, 5, {QStringLiteral("    RESTO DEL NOMBRE")}},
        CasoParrafo{"sangriaBajoUno", QStringLiteral("x"), 40, 0, -3, {QStringLiteral("X")}},
        CasoParrafo{
            "acentosAMayuscula", QStringLiteral("piña colada ñoña"), 40, 0, 0, {QStringLiteral("PIÑA COLADA ÑOÑA")}},
        CasoParrafo{
            "palabraLargaSola", QStringLiteral("abcdefghijkl mn op"), 10, 0, 0, {QStringLiteral("ABCDEFGHIJKL MN OP")}},
        CasoParrafo{"palabraLargaDespues",
                    QStringLiteral("ab abcdefghijkl cd"),
                    10,
                    0,
                    0,
                    {QStringLiteral("AB ABCDEFGHIJKL CD")}},
        CasoParrafo{"justoAlAncho",
                    QStringLiteral("abcd efghi jk"),
                    10,
                    0,
                    0,
                    {QStringLiteral("ABCD EFGHI"), QStringLiteral("JK")}},
        CasoParrafo{"blancoInicialSeRecorta", QStringLiteral(" a b"), 40, 0, 0, {QStringLiteral("A B")}},
        CasoParrafo{"vacioNoImprime", QString(), 40, 0, 0, {}}),
    [](const testing::TestParamInfo<CasoParrafo>& i) { return std::string(i.param.nombre); });

TEST(ImprimirTextoMedido, EnvuelvePorMedidaYDevuelveElLimite) {
    Banco b;
    Impresora& imp = b.ctx.impresora();
    imp.fijarTamanoFuente(12);
    // At size 12 a character is 144 twips and the limit is 35 "=" at size 10, 4200 twips: a line takes
    // words while their widths plus one blank each stay within it, 29 characters here.
    QString texto = QStringLiteral("2   hamburguesa doble con queso y tocineta extra");
    int ancho = 40;
    imprimirTextoMedido(b.ctx, texto, ancho, 0, 0);
    EXPECT_EQ(ancho, 4200);
    EXPECT_EQ(b.abierto(), (QStringList{QStringLiteral("[12] 2 HAMBURGUESA DOBLE CON QUESO"),
                                        QStringLiteral("[12] Y TOCINETA EXTRA")}));
    EXPECT_EQ(texto, QStringLiteral("2   HAMBURGUESA DOBLE CON QUESO Y TOCINETA EXTRA"));
}

TEST(ImprimirTextoMedido, RedondeaElTamanoYCentraSobreElRollo) {
    Banco b;
    b.ctx.configuracion = ajustes({{conEnie, QStringLiteral("rollo 55mm")}, {sinEnie, QStringLiteral("rollo 55mm")}});
    b.ctx.impresora().fijarTamanoFuente(6.5F);
    QString texto = QStringLiteral("cocina");
    int ancho = 0;
    imprimirTextoMedido(b.ctx, texto, ancho, 2, 0);
    EXPECT_EQ(ancho, 2520);
    EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 6.0F);
    // (32 - 6) / 2 = 13: twelve blanks before the word.
    EXPECT_EQ(b.abierto(), QStringList{QStringLiteral("[6]             COCINA")});
}

TEST(ImprimirSeparador, OtroCaracterSoloRedondeaElTamano) {
    Banco b;
    b.ctx.impresora().fijarTamanoFuente(7.5F);
    imprimirSeparador(b.ctx, QLatin1Char('*'));
    EXPECT_TRUE(b.abierto().isEmpty());
    EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 8.0F);
}

} // namespace
} // namespace kestrel::prueba
