#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/fallo.h"
#include "json/json.h"
#include "json/volcado.h"
#include "tablas.h"

using namespace kestrel;
using prueba::falloO;

namespace {

// Whole messages (what the reader builds, then each line of its error text), where the blank skipper leaves the
// position, and the printed amounts: tests/data/tablas/lector.json.
TEST(Lector, Tablas) {
    prueba::comprobarTablas(QStringLiteral("lector"),
                            {{QStringLiteral("analizar"),
                              [](const QJsonArray& a) {
                                  const Valor v = jsonParse(a[0].toString());
                                  const QString errores = jsonErrors();
                                  if (!v.esContenedor())
                                      return QStringLiteral("(sin contenedor) ") + errores;
                                  QStringList lineas{volcarValor(v)};
                                  if (!errores.isEmpty())
                                      lineas += errores.endsWith(QStringLiteral("\r\n"))
                                                    ? errores.chopped(2).split(QStringLiteral("\r\n"))
                                                    : QStringList{errores + " (sin \\r\\n final)"};
                                  return lineas.join(u'\n');
                              }},
                             {QStringLiteral("saltar"),
                              [](const QJsonArray& a) {
                                  qsizetype p = a[1].toInt();
                                  jsonSkip(a[0].toString(), p);
                                  return QString::number(p);
                              }},
                             {QStringLiteral("leerUno"),
                              [](const QJsonArray& a) {
                                  const QString texto = a[1].toString(), lector = a[0].toString();
                                  qsizetype p = a[2].toInt();
                                  EstadoJson estado;
                                  const QString r = falloO([&] {
                                      if (lector == u"clave")
                                          return jsonReadKey(texto, p);
                                      if (lector == u"cadena")
                                          return jsonReadString(texto, p, estado.cadena);
                                      if (lector == u"numero")
                                          return jsonReadNumber(texto, p).aTexto();
                                      if (lector == u"booleano")
                                          return QString::number(jsonReadBoolean(texto, p));
                                      return volcarValor(jsonReadNull(texto, p));
                                  });
                                  return r + QStringLiteral(" @") + QString::number(p);
                              }},
                             {QStringLiteral("formatearDecimal"),
                              [](const QJsonArray& a) { return formatearDecimal(Valor(a[0].toString()), 2); }}});
}

TEST(Lector, AnidamientoLimitado) {
    const QString profundo = QString(jsonProfundidadMaxima, u'[') + QString(jsonProfundidadMaxima, u']');
    jsonParse(profundo);
    EXPECT_EQ(jsonErrors(), QString());

    // One level more is tests/data/json/anidamiento_excesivo; a deep run of objects must not exhaust the stack.
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

TEST(Lectores, FormatearDecimalDeOtrasClases) {
    EXPECT_EQ(formatearDecimal(Valor(Decimal(12500)), 2), QStringLiteral("12.500"));
    EXPECT_EQ(formatearDecimal(Valor(true), 2), QString());
    EXPECT_EQ(formatearDecimal(Valor(QStringLiteral("1.999")), 0), QStringLiteral("1"));
}

} // namespace
