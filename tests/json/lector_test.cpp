#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/fallo.h"
#include "json/json.h"
#include "json/volcado.h"

using namespace kestrel;

namespace {

// Whole messages: what the reader builds and the exact error text it leaves.
struct Caso {
    const char16_t* entrada;
    const char16_t* volcado; // nullptr: no container comes back
    const char16_t* errores;
};

void comprobar(const Caso& c) {
    const QString entrada = QString::fromUtf16(c.entrada);
    const Valor v = jsonParse(entrada);
    if (c.volcado)
        EXPECT_EQ(volcarValor(v), QString::fromUtf16(c.volcado)) << entrada.toStdString();
    else
        EXPECT_FALSE(v.esContenedor()) << entrada.toStdString();
    EXPECT_EQ(jsonErrors(), QString::fromUtf16(c.errores)) << entrada.toStdString();
}

TEST(Lector, ElPrincipioDelMensaje) {
    const Caso casos[] = {
        {u"", nullptr, u"Invalid JSON"},
        {u"   \r\n\t", nullptr, u"Invalid JSON"},
        {u"hola", nullptr, u"Invalid JSON"},
        {u"\"texto\"", nullptr, u"Invalid JSON"},
        {u"12", nullptr, u"Invalid JSON"},
        {u"{}", u"{}", u""},
        {u"[]", u"[]", u""},
        {u"  \r\n  {\"a\":1}", u"{\"a\":1}", u""},
        {u"({\"a\":1})", u"{\"a\":1}", u""},
        {u"// linea\n/* bloque */ {\"a\":1}", u"{\"a\":1}", u""},
        {u"{\"a\":1} basura {\"b\":2}", u"{\"a\":1}", u""},
        {u"[1] ]]]", u"[1]", u""},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, NombresDeMiembro) {
    const Caso casos[] = {
        {u"{'a':'x'}", u"{\"a\":\"x\"}", u""},
        {u"{a:1, b :2}", u"{\"a\":1,\"b\":2}", u""},
        {u"{\"first name\":1}", u"{\"firstname\":1}", u""},
        // The name ends at its closing quote; what follows is read as the value, then "":1.
        {u"{\"a\"\"b\":1}", u"{\"a\":\"b\",\"\":1}", u"Invalid Key at position 5 : a\r\n"},
        {u"{\"a\" 1}", u"{\"a\":1}", u"Invalid Key at position 6 : a\r\n"},
        {u"{\"a:b\":1}", u"{\"a:b\":1}", u""},
        {u"{a\\b:1}", u"{\"a\\\\b\":1}", u""},
        {u"{\"Valor\":1,\"valor\":2}", u"{\"Valor\":1,\"valor\":2}", u""},
        {u"{{:1}", u"{\"{\":1}", u""},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, ComasYCierres) {
    const Caso casos[] = {
        {u"{\"a\":1 \"b\":2}", u"{\"a\":1,\"b\":2}", u""},
        {u"{\"a\":1\"b\":2}", u"{\"a\":1,\"b\":2}", u""},
        {u"[1 2,3]", u"[1,2,3]", u""},
        {u"[\"a\"\"b\"]", u"[\"a\",\"b\"]", u""},
        // A comma right before the end is no end: the end is read as a key, or as a number.
        {u"{\"a\":1,}", u"{\"a\":1}", u"No coinciden los tipos: }\r\n"},
        {u"[1,]", u"[1]", u"No coinciden los tipos: ]\r\n"},
        {u"{\"a\":1", u"{\"a\":1}", u"Missing '}': {\"a\":1\r\n"},
        {u"[1,2", u"[1,2]", u"Missing ']': [1,2\r\n"},
        {u"{\"a\":[1,{\"b\":2", u"{\"a\":[1,{\"b\":2}]}",
         u"Missing '}': {\"a\":[1,{\"b\":2\r\nMissing ']': {\"a\":[1,{\"b\":2\r\nMissing '}': {\"a\":[1,{\"b\":2\r\n"},
        {u"{\"texto\":\"0123456789012345678901234", u"{\"texto\":\"0123456789012345678901234\"}",
         u"Missing '}': 56789012345678901234\r\n"},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, Textos) {
    const Caso casos[] = {
        {u"[\"a\\\"b\\\\c\\/d\\'e\"]", u"[\"a\\\"b\\\\c/d'e\"]", u""},
        {u"[\"\\b\\f\\n\\r\\t\"]", u"[\"\\b\\f\\n\\r\\t\"]", u""},
        {u"[\"\\u00e9\\u00C9\"]", u"[\"éÉ\"]", u""},
        {u"[\"\\ud83c\\udf54\"]", u"[\"🍔\"]", u""},
        {u"[\"\\u00zz9\"]", u"[\"\\u00009\"]", u""},
        // \u always takes four characters, here the closing quote and bracket too.
        {u"[\"\\u4g\"]", u"[\"\\u0004\"]", u"Missing ']': [\"\\u4g\"]\r\n"},
        {u"[\"\\x\"]", u"[\"x\"]", u""},
        {u"['dice \"hola\"']", u"[\"dice \\\"hola\\\"\"]", u""},
        {u"[\"it's\"]", u"[\"it's\"]", u""},
        {u"[\"tab\tdentro\"]", u"[\"tab\\tdentro\"]", u""},
        {u"[\"\\ud83c\"]", u"[\"\\ud83c\"]", u""},
        {u"[\"sin fin]", u"[\"sin fin]\"]", u"Missing ']': [\"sin fin]\r\n"},
        {u"[\"\\u12", u"[\"\\u0012\"]", u"Missing ']': [\"\\u12\r\n"},
        {u"[\"\\", u"[\"\"]", u"Missing ']': [\"\\\r\n"},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, Numeros) {
    const Caso casos[] = {
        {u"[12,12.5,1500.759,-3.999,0.129]", u"[12,12.5,1500.75,-3.99,0.12]", u""},
        {u"[1e5,1E5,1.25e3,1e+2,-0.5,-0,0.05]", u"[100000,100000,1.25,100,-0.5,0,0.05]", u""},
        {u"[1e-1,5e-1,-5e-1,15e-1]", u"[0,1,-1,2]", u""},
        {u"[+7,007,12.]", u"[7,7,12]", u""},
        {u"[79228162514264337593543950335]", u"[79228162514264337593543950335]", u""},
        // Around the widest number that the quick path takes whole.
        {u"[99999999999999999.999,978392281625149502.336,-0978392281625149502.336]",
         u"[99999999999999999.99,978392281625149502.33,-978392281625149502.33]", u""},
        {u"[1.5e3]", u"[]", u"No coinciden los tipos: ]\r\n"},
        {u"{\"a\":1.5e3,\"b\":2}", u"{}", u"No coinciden los tipos: a\r\n"},
        {u"[1-2]", u"[]", u"No coinciden los tipos: ]\r\n"},
        {u"[1e]", u"[]", u"No coinciden los tipos: ]\r\n"},
        {u"[..]", u"[]", u"No coinciden los tipos: ]\r\n"},
        {u"[x]", u"[]", u"No coinciden los tipos: x]\r\n"},
        {u"[True]", u"[]", u"No coinciden los tipos: True]\r\n"},
        {u"[79228162514264337593543950336]", u"[]", u"Desbordamiento: ]\r\n"},
        {u"[1e29]", u"[]", u"Desbordamiento: ]\r\n"},
        {u"{\"a\":", u"{}", u"No coinciden los tipos: a\r\n"},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, VerdaderoFalsoYNulo) {
    const Caso casos[] = {
        {u"[true,false,null]", u"[true,false,null]", u""},
        {u"{\"a\":tru,\"b\":1}", u"{\"a\":false,\"tru,b\":1}", u"Invalid Boolean at position 6 : tru,\"b\":1}\r\n"},
        {u"{\"a\":nul}", u"{\"a\":vacio}",
         u"Invalid null value at position 6 : nul}\r\nNo coinciden los tipos: nul}\r\n"},
        // Inside a list the bad token cannot be got past: it is reported once and the parse ends.
        {u"[tru]", u"[false]", u"Invalid Boolean at position 2 : tru]\r\n"},
        {u"[1,[nul,2],3]", u"[1,[vacio]]", u"Invalid null value at position 5 : nul,2],3]\r\n"},
        {u"[[[fals]]]", u"[[[false]]]", u"Invalid Boolean at position 4 : fals]]]\r\n"},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, UnFalloDetieneATodosLosContenedores) {
    const Caso casos[] = {
        {u"{\"a\":{\"b\":1,\"b\":2,\"c\":3},\"d\":4}", u"{\"a\":{\"b\":1}}",
         u"Esta clave ya está asociada a un elemento de esta colección: b\r\n"
         u"Esta clave ya está asociada a un elemento de esta colección: a\r\n"},
        {u"{\"a\":1,\"a\":2}", u"{\"a\":1}", u"Esta clave ya está asociada a un elemento de esta colección: a\r\n"},
        {u"[1,[2,{\"x\":1.5e3}],\"siguiente elemento largo\"]", u"[1,[2,{}]]",
         u"No coinciden los tipos: x\r\nNo coinciden los tipos: }],\"siguiente elemen\r\n"
         u"No coinciden los tipos: }],\"siguiente elemen\r\n"},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, ComentariosEntreFichas) {
    const Caso casos[] = {
        {u"{\"a\"/* x */:/* y */1}", u"{\"a\":1}", u""},
        {u"{\"a\":1 // resto\n,\"b\":2}", u"{\"a\":1,\"b\":2}", u""},
        {u"[1 / 2]", u"[1,2]", u""},
        {u"[1 * 2]", u"[1,2]", u""},
        {u"[1 (2) 3]", u"[1,2,3]", u""},
        // Two asterisks before the slash do not close a block comment; one or three do.
        {u"[1 /* x **/ 2 */ 3]", u"[1,3]", u""},
        {u"[1 /* x ***/ 2]", u"[1,2]", u""},
        // A slash inside a line comment ends it.
        {u"[1 // x / 2]", u"[1,2]", u""},
    };
    for (const auto& c : casos)
        comprobar(c);
}

TEST(Lector, AnidamientoLimitado) {
    const QString profundo = QString(jsonProfundidadMaxima, u'[') + QString(jsonProfundidadMaxima, u']');
    jsonParse(profundo);
    EXPECT_EQ(jsonErrors(), QString());

    const QString demasiado = QString(jsonProfundidadMaxima + 1, u'[') + QString(jsonProfundidadMaxima + 1, u']');
    const Valor v = jsonParse(demasiado);
    EXPECT_EQ(jsonErrors(), QStringLiteral("Nesting deeper than 512 levels at position 513\r\n"));
    EXPECT_TRUE(v.esLista());

    QString objetos;
    for (int i = 0; i < 100000; ++i)
        objetos += QStringLiteral("{\"a\":");
    jsonParse(objetos);
    EXPECT_EQ(jsonErrors(), QStringLiteral("Nesting deeper than 512 levels at position 2561\r\n"));
}

TEST(Lector, LosErroresTienenUnLimite) {
    // Every bad boolean in an object quotes the rest of the message; without a bound this one would need
    // some 200 GB of error text.
    QString mensaje = QStringLiteral("{");
    for (int i = 0; i < 200000; ++i)
        mensaje += QStringLiteral("a:t ");
    mensaje += u'}';
    jsonParse(mensaje);
    const QString errores = jsonErrors();
    EXPECT_LT(errores.size(), jsonErroresMaximos + mensaje.size() + 100);
    EXPECT_TRUE(errores.startsWith(QStringLiteral("Invalid Boolean at position 4 : t a:t")));
    EXPECT_TRUE(errores.contains(QStringLiteral("\r\nToo many errors at position ")));
    EXPECT_TRUE(errores.endsWith(QStringLiteral("\r\n")));
}

TEST(Lector, LosErroresSonDelUltimoAnalisis) {
    jsonParse(QStringLiteral("{\"a\":1"));
    EXPECT_FALSE(jsonErrors().isEmpty());
    jsonParse(QStringLiteral("{\"a\":1}"));
    EXPECT_TRUE(jsonErrors().isEmpty());
}

TEST(Lector, UnMiembroAusenteSeLeeVacioYQuedaAnotado) {
    const Valor v = jsonParse(QStringLiteral("{\"a\":1}"));
    Dictionary& objeto = v.comoDictionary();
    const Valor ausente = objeto.item(QStringLiteral("total"));
    EXPECT_TRUE(ausente.esVacio());
    EXPECT_FALSE(ausente.esNulo());
    EXPECT_EQ(ausente.comoTexto(), QString());
    EXPECT_TRUE(ausente.comoNumero().esCero());
    EXPECT_EQ(objeto.count(), 2);
    EXPECT_EQ(volcarValor(v), QStringLiteral("{\"a\":1,\"total\":vacio}"));
}

// The readers one by one: where each leaves the position.
TEST(Lectores, SaltoDeBlancosYComentarios) {
    struct C {
        const char16_t* texto;
        qsizetype desde;
        qsizetype hasta;
    } casos[] = {
        {u"  x", 1, 3},     {u"()\t\r\nx", 1, 6}, {u"/x", 1, 2},  {u"//x\ny", 1, 5}, {u"/*x\n*/y", 1, 7},
        {u"/*x**/y", 1, 8}, {u"/*x*/y", 1, 6},    {u"x", 1, 1},   {u"   ", 1, 4},    {u"", 1, 1},
        {u"a  b", 2, 4},    {u"//x/y", 1, 5},     {u"*/x", 1, 4}, {u"x", 5, 5},
    };
    for (const auto& c : casos) {
        qsizetype p = c.desde;
        jsonSkip(QString::fromUtf16(c.texto), p);
        EXPECT_EQ(p, c.hasta) << QString::fromUtf16(c.texto).toStdString();
    }
}

TEST(Lectores, CadaLectorDejaLaPosicionTrasLoLeido) {
    jsonParse(QString()); // empties the error text for the readers used alone
    const QString texto = QStringLiteral(" \"clave\" : 'valor' 12.5e truex nulo");
    EstadoJson estado;
    qsizetype p = 1;
    EXPECT_EQ(jsonReadKey(texto, p), QStringLiteral("clave"));
    EXPECT_EQ(p, 11);
    EXPECT_EQ(jsonReadString(texto, p, estado.cadena), QStringLiteral("valor"));
    EXPECT_EQ(p, 19);
    EXPECT_THROW(jsonReadNumber(texto, p), FalloPlataforma);
    EXPECT_EQ(p, 25);
    EXPECT_TRUE(jsonReadBoolean(texto, p));
    EXPECT_EQ(p, 30);
    qsizetype q = p; // on "x"
    EXPECT_FALSE(jsonReadBoolean(texto, q));
    EXPECT_EQ(q, 30);
    ++p;
    EXPECT_TRUE(jsonReadNull(texto, p).esVacio());
    EXPECT_EQ(p, 32);
}

TEST(Lectores, FormatearDecimal) {
    struct C {
        const char16_t* valor;
        const char16_t* resultado;
    } casos[] = {
        {u"12", u"12"},
        {u"12.5", u"12,5"},
        {u"1500.759", u"1.500,75"},
        {u"-3.999", u"-3,99"},
        {u"1e5", u"100.000"},
        {u"1.25e3", u"1,25"},
        {u"1.5e3", u"1,5e"},
        {u"-0.5", u"-0,5"},
        {u"5e-1", u"1"},
        {u"4e-1", u"0"},
        {u"1.500,75", u"1.500,75"},
        {u"1,2345", u"1,23"},
        {u"", u""},
        {u"-", u""},
        {u"1-2", u""},
        {u"1e", u""},
        {u"..", u""},
        {u".5", u""},
        {u" 7 ", u"7"},
        {u"1234567", u"1.234.567"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(formatearDecimal(Valor(QString::fromUtf16(c.valor)), 2), QString::fromUtf16(c.resultado))
            << QString::fromUtf16(c.valor).toStdString();
    EXPECT_EQ(formatearDecimal(Valor(Decimal(12500)), 2), QStringLiteral("12.500"));
    EXPECT_EQ(formatearDecimal(Valor(true), 2), QString());
    EXPECT_EQ(formatearDecimal(Valor(QStringLiteral("1.999")), 0), QStringLiteral("1"));
}

} // namespace
