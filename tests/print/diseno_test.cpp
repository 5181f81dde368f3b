#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "print/diseno.h"

namespace kestrel::prueba {
namespace {

const QString conEnie = QStringLiteral("Tamaño de Factura");
const QString sinEnie = QStringLiteral("Tamano de Factura");

// Both spellings of the roll setting are read, each for its own decision; a row gives each one's value
// (nullptr: absent) and the width, the two roll tests, the line width in twips and both separators.
TEST(Rollo, AnchoPruebasYSeparadores) {
    const struct {
        const char* conEnie;
        const char* sinEnie;
        int ancho;
        bool es55;
        bool es75;
        int anchoLinea;
        const char* tamano;
        int iguales;
        int guiones;
    } casos[] = {
        {nullptr, nullptr, 40, false, false, 4200, "10", 37, 39},
        {"rollo 55mm", "rollo 55mm", 32, true, false, 2520, "7", 30, 30},
        {"rollo 55mm", nullptr, 32, false, false, 4200, "10", 30, 30},
        {nullptr, "rollo 55mm", 40, true, false, 2520, "7", 37, 39},
        {"rollo 75mm", "rollo 75mm", 40, false, true, 4080, "10", 37, 39},
        {"rollo 80mm", "rollo 80mm", 40, false, false, 4200, "10", 37, 39},
        {"Rollo 55mm", "ROLLO 55MM", 40, false, false, 4200, "10", 37, 39},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(std::string(c.conEnie ? c.conEnie : "-") + " / " + (c.sinEnie ? c.sinEnie : "-"));
        Banco b;
        auto lista = std::make_shared<Collection>();
        for (const auto& [nombre, valor] : {std::pair{conEnie, c.conEnie}, std::pair{sinEnie, c.sinEnie}}) {
            if (valor)
                lista->add(ajustes({{nombre, QString::fromUtf8(valor)}}).comoCollection().item(1));
        }
        b.ctx.configuracion = Valor(lista);
        EXPECT_EQ(anchoRollo(b.ctx), c.ancho);
        EXPECT_EQ(esRollo55(b.ctx), c.es55);
        EXPECT_EQ(esRollo75(b.ctx), c.es75);
        b.ctx.impresora().fijarTamanoFuente(12.5F);
        EXPECT_EQ(anchoLinea(b.ctx), c.anchoLinea);
        EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 12.5F) << "el tamaño exacto vuelve";
        imprimirSeparador(b.ctx, QLatin1Char('='));
        imprimirSeparador(b.ctx, QLatin1Char('-'));
        const QString t = QStringLiteral("[%1] ").arg(QString::fromUtf8(c.tamano));
        EXPECT_EQ(b.abierto(), (QStringList{t + QString(c.iguales, u'='), t + QString(c.guiones, u'-')}));
        EXPECT_EQ(b.ctx.impresora().tamanoFuente(), 12.0F) << "el separador deja el tamaño redondeado al par";
    }
}

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
    const std::pair<double, int> casos[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},  {18.5, 18},
                                            {-0.5, 0}, {-1.5, -2}, {7.49, 7}, {32767.4, 32767}};
    for (const auto& [valor, esperado] : casos)
        EXPECT_EQ(redondearPar(valor), esperado) << valor;
    EXPECT_THROW(redondearPar(32767.5), FalloPlataforma);
    EXPECT_THROW(redondearPar(-40000), FalloPlataforma);
}

TEST(LargoQueCabe, PalabrasEnterasConSuBlanco) {
    const struct {
        const char* texto;
        int ancho;
        int esperado;
    } casos[] = {
        {"HOLA MUNDO", 10, 5}, {"HOLA MUNDO", 11, 11},           {"", 10, 0},
        {"A  B", 10, 5},       {"SUPERCALIFRAGILISTICO", 18, 0}, {"ARROZ CON POLLO GRANDE", 18, 16},
        {"HOLA", 4, 0},        {"UN PALABRAMUYLARGA Y", 18, 3},  {"HOLA", 5, 5},
    };
    for (const auto& c : casos)
        EXPECT_EQ(largoQueCabe(QString::fromUtf8(c.texto), c.ancho), c.esperado) << c.texto << " / " << c.ancho;
    EXPECT_EQ(espacioLibre(QStringLiteral("  ab  "), 6), 4);
    EXPECT_EQ(espacioLibre(QStringLiteral("demasiado largo"), 5), -10);
    EXPECT_EQ(espacioLibre(QStringLiteral("\tab"), 6), 3) << "solo se recortan blancos";
}

TEST(ImprimirTexto, ParrafosEnMayusculas) {
    const struct {
        const char* texto;
        int ancho;
        int alineacion;
        int sangria;
        QStringList lineas;
    } casos[] = {
        {"hola mundo feliz", 10, 0, 0, {"HOLA MUNDO", "FELIZ"}},
        {"abc", 40, 2, 0, {"                 ABC"}},
        {"abcd", 40, 2, 0, {"                 ABCD"}},
        {"abcdefghijkl", 10, 2, 0, {"ABCDEFGHIJKL"}},
        {"uno\r\n\r\ndos", 40, 0, 0, {"UNO", "DOS"}},
        {"uno\ndos", 40, 0, 0, {"UNO\nDOS"}},
        {"TOTAL   12500", 40, 1, 0, {"TOTAL 12500"}},
        {"resto del nombre", 40, 0, 5, {"    RESTO DEL NOMBRE"}},
        {"x", 40, 0, -3, {"X"}},
        {"piña colada ñoña", 40, 0, 0, {"PIÑA COLADA ÑOÑA"}},
        {"abcdefghijkl mn op", 10, 0, 0, {"ABCDEFGHIJKL MN OP"}},
        {"ab abcdefghijkl cd", 10, 0, 0, {"AB ABCDEFGHIJKL CD"}},
        {"abcd efghi jk", 10, 0, 0, {"ABCD EFGHI", "JK"}},
        {" a b", 40, 0, 0, {"A B"}},
        {"", 40, 0, 0, {}},
    };
    for (const auto& c : casos) {
        Banco b;
        QString texto = QString::fromUtf8(c.texto);
        imprimirTexto(b.ctx, texto, c.ancho, c.alineacion, c.sangria);
        EXPECT_EQ(b.abiertoPlano(), c.lineas) << c.texto;
        EXPECT_EQ(texto, QString::fromUtf8(c.texto).toUpper());
    }
}

TEST(ImprimirTextoMedido, EnvuelvePorMedidaYDevuelveElLimite) {
    Banco b;
    b.ctx.impresora().fijarTamanoFuente(12);
    // At size 12 a character is 144 twips and the limit is 35 "=" at size 10, 4200 twips: a line takes
    // words while their widths plus one blank each stay within it, 29 characters here.
    QString texto = QStringLiteral("2   hamburguesa doble con queso y tocineta extra");
    int ancho = 40;
    imprimirTextoMedido(b.ctx, texto, ancho, 0, 0);
    EXPECT_EQ(ancho, 4200);
    EXPECT_EQ(b.abierto(), (QStringList{"[12] 2 HAMBURGUESA DOBLE CON QUESO", "[12] Y TOCINETA EXTRA"}));
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
