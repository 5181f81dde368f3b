#include <gtest/gtest.h>

#include "app/mensajes_agente.h"
#include "json/volcado.h"

namespace kestrel {
namespace {

TEST(MensajesAgente, IdentificacionDeUnCodigoDe15CifrasTiene39Caracteres) {
    const QString id = textoIdentificacion(QStringLiteral("123456789012345"));
    EXPECT_EQ(id, QStringLiteral("{\"idSyA\":\"123456789012345\",\"type\":\"id\"}"));
    EXPECT_EQ(id.size(), 39);
    EXPECT_EQ(id.indexOf(QStringLiteral("123456789012345")), 10);
}

TEST(MensajesAgente, EstadoLlevaLaBanderaEnDecimal) {
    EXPECT_EQ(textoEstado(QStringLiteral("123456789012345"), 0),
              QStringLiteral("{\"idSyA\":\"123456789012345\",\"status\":\"0\"}"));
    EXPECT_EQ(textoEstado(QStringLiteral("123456789012345"), 1),
              QStringLiteral("{\"idSyA\":\"123456789012345\",\"status\":\"1\"}"));
}

// A code typed by hand can hold anything; the reply must stay one valid JSON object.
TEST(MensajesAgente, ElCodigoSeEscapaSoloCuandoHaceFalta) {
    struct Caso {
        const char16_t* codigo;
        const char16_t* escapado;
    };
    const Caso casos[] = {
        {u"123456789012345", u"123456789012345"},
        {u"A23456789012345", u"A23456789012345"},
        {u"Sucursal Centro ñ", u"Sucursal Centro ñ"},
        {u"12345\"6789012345", u"12345\\\"6789012345"},
        {u"123\\456", u"123\\\\456"},
        {u"123\r\n456", u"123\\r\\n456"},
        {u"a\tb\u0001", u"a\\tb\\u0001"},
        {u"", u""},
    };
    for (const Caso& c : casos) {
        const QString codigo = QString::fromUtf16(c.codigo);
        EXPECT_EQ(escaparJson(codigo), QString::fromUtf16(c.escapado)) << codigo.toStdString();
        EXPECT_EQ(textoIdentificacion(codigo), QStringLiteral("{\"idSyA\":\"") + QString::fromUtf16(c.escapado) +
                                                   QStringLiteral("\",\"type\":\"id\"}"));
    }
}

} // namespace
} // namespace kestrel
