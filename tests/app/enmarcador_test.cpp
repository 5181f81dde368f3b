#include <gtest/gtest.h>

#include <QStringList>

#include "app/enmarcador.h"
#include "tablas.h"

namespace kestrel {
namespace {

QStringList tomarTodos(Enmarcador& e) {
    QStringList r;
    while (e.hayMensaje())
        r << e.tomarMensaje().texto;
    return r;
}

// Every marker ends exactly one message: tests/data/tablas/enmarcador.json.
TEST(Enmarcador, CadaMarcadorTerminaUnMensaje) {
    prueba::comprobarTablas(
        QStringLiteral("enmarcador"),
        {{QStringLiteral("trozos"), [](const QJsonArray& a) {
              Enmarcador e;
              for (const QJsonValue& t : a[0].toArray())
                  EXPECT_FALSE(e.agregar(t.toString()));
              return (tomarTodos(e) << QStringLiteral("pendiente %1").arg(e.pendiente())).join(u'\n');
          }}});
}

TEST(Enmarcador, UnMensajeNuevoSeTomaTrasLosAnteriores) {
    Enmarcador e;
    e.agregar(u"A_endMessage_B");
    ASSERT_EQ(e.mensajesPendientes(), 1u);
    // A message completed while the first one is still waiting to be taken comes after it.
    e.agregar(u"_endMessage_");
    EXPECT_EQ(tomarTodos(e), (QStringList{"A", "B"}));
}

TEST(Enmarcador, UnaConexionNuevaDescartaSoloLoIncompleto) {
    Enmarcador e;
    e.agregar(u"A_endMessage_{\"tipo\":\"fac");
    EXPECT_EQ(e.descartarIncompleto(), 12);
    e.agregar(u"{\"tipo\":\"cajon\"}_endMessage_");
    EXPECT_EQ(tomarTodos(e), (QStringList{"A", "{\"tipo\":\"cajon\"}"}));
}

// An unterminated stream must not grow the buffer for ever: past the limit the message is dropped, reported
// once, skipped up to its marker, and the next message is read as usual.
TEST(Enmarcador, ElMensajeQueSuperaElLimiteSeDescartaHastaSuMarcador) {
    Enmarcador e(100);
    EXPECT_FALSE(e.agregar(QString(60, QLatin1Char('x'))));
    EXPECT_TRUE(e.agregar(QString(60, QLatin1Char('x'))));
    EXPECT_EQ(e.pendiente(), 120);
    EXPECT_FALSE(e.agregar(QString(1000, QLatin1Char('y')) + QStringLiteral("_endMes")));
    EXPECT_FALSE(e.hayMensaje());
    EXPECT_FALSE(e.agregar(u"sage_B_endMessage_C"));
    ASSERT_EQ(e.mensajesPendientes(), 2u);
    const MensajeRecibido grande = e.tomarMensaje();
    EXPECT_TRUE(grande.descartado);
    EXPECT_TRUE(grande.texto.isEmpty());
    EXPECT_EQ(grande.tamano, 1120);
    const MensajeRecibido siguiente = e.tomarMensaje();
    EXPECT_FALSE(siguiente.descartado);
    EXPECT_EQ(siguiente.texto, QStringLiteral("B"));
    EXPECT_EQ(e.pendiente(), 1);
}

TEST(Enmarcador, LosMensajesCompletosDeUnTrozoGrandeNoCuentanParaElLimite) {
    Enmarcador e(100);
    QString muchos;
    for (int i = 0; i < 50; ++i)
        muchos += QStringLiteral("mensaje %1_endMessage_").arg(i);
    EXPECT_FALSE(e.agregar(muchos));
    EXPECT_EQ(e.mensajesPendientes(), 50u);
}

} // namespace
} // namespace kestrel
