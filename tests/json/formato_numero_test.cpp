#include <gtest/gtest.h>

#include "json/formato_numero.h"
#include "tablas.h"

using namespace kestrel;

namespace {

Decimal d(const QString& texto) {
    return Decimal::desdeTextoInvariante(texto).value();
}

const QLocale colombia(QLocale::Spanish, QLocale::Colombia);
const QLocale estadosUnidos(QLocale::English, QLocale::UnitedStates);

// Amounts written and read with the branch's regional settings: tests/data/tablas/formato_numero.json.
TEST(FormatoNumero, Tablas) {
    prueba::comprobarTablas(QStringLiteral("formato_numero"),
                            {{QStringLiteral("escribir"),
                              [](const QJsonArray& a) {
                                  const Decimal v = d(a[0].toString());
                                  return QStringList{formato::textoImporte(v, colombia),
                                                     formato::textoImpresora(v, colombia),
                                                     formato::textoPlano(v, colombia)}
                                      .join(u'\n');
                              }},
                             {QStringLiteral("leer"), [](const QJsonArray& a) {
                                  QStringList r;
                                  for (const QLocale& l : {colombia, estadosUnidos}) {
                                      const auto v = formato::leerNumero(a[0].toString(), l);
                                      r << (v ? v->aTexto() : QStringLiteral("-"));
                                  }
                                  return r.join(u'\n');
                              }}});
}

TEST(FormatoNumero, LaConfiguracionDelEquipoSeTomaDelEntorno) {
    // The tests run under LANG=es_CO.UTF-8, as a branch PC does.
    EXPECT_EQ(formato::textoImporte(d(QStringLiteral("12500"))), QStringLiteral("12.500"));
    EXPECT_EQ(formato::textoPlano(d(QStringLiteral("12.5"))), QStringLiteral("12,5"));
}

} // namespace
