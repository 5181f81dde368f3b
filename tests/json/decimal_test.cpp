#include <gtest/gtest.h>

#include "json/decimal.h"
#include "tablas.h"

using kestrel::Decimal;
using kestrel::prueba::falloO;

namespace {

Decimal d(const QJsonValue& texto) {
    return Decimal::desdeTextoInvariante(texto.toString()).value_or(Decimal());
}

// Reading and writing the invariant form, exact arithmetic and rounding: tests/data/tablas/decimal.json.
TEST(Decimal, Tablas) {
    kestrel::prueba::comprobarTablas(
        QStringLiteral("decimal"),
        {{QStringLiteral("leer"),
          [](const QJsonArray& a) {
              const auto v = Decimal::desdeTextoInvariante(a[0].toString());
              return v ? v->aTexto() : QStringLiteral("(mal formado)");
          }},
         {QStringLiteral("operar"),
          [](const QJsonArray& a) {
              return falloO([&] {
                  const Decimal x = d(a[0]), y = d(a[2]);
                  const QString op = a[1].toString();
                  if (op == u"==" || op == u"<" || op == u">")
                      return QString::number(op == u"==" ? x == y : op == u"<" ? x < y : x > y);
                  return (op == u"+" ? x + y : op == u"-" ? x - y : op == u"*" ? x * y : x / y).aTexto();
              });
          }},
         {QStringLiteral("redondear"), [](const QJsonArray& a) {
              const QString m = a[1].toString();
              const auto modo = m == u"MitadPar"  ? Decimal::Redondeo::MitadPar
                                : m == u"Truncar" ? Decimal::Redondeo::Truncar
                                                  : Decimal::Redondeo::MitadAlejada;
              return d(a[0]).redondear(0, modo).aTexto();
          }}});
    EXPECT_EQ(d(QStringLiteral("-7.6")).aEntero64(Decimal::Redondeo::MitadPar), -8);
}

} // namespace
