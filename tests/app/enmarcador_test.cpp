#include <gtest/gtest.h>

#include <QStringList>

#include "app/enmarcador.h"
#include "tablas.h"

namespace kestrel {
namespace {

// Feeds the pieces ("|" being a new connection), then takes every message waiting and tells what is left.
QString enmarcar(Enmarcador& e, const QJsonArray& trozos) {
    QStringList r;
    for (const QJsonValue& t : trozos) {
        if (t.toString() == QLatin1String("|"))
            r << QStringLiteral("descartados %1").arg(e.descartarIncompleto());
        else if (e.agregar(t.toString()))
            r << QStringLiteral("aviso");
    }
    while (e.hayMensaje()) {
        const MensajeRecibido m = e.tomarMensaje();
        r << (m.descartado ? QStringLiteral("descartado %1").arg(m.tamano) : m.texto);
    }
    return (r << QStringLiteral("pendiente %1").arg(e.pendiente())).join(u'\n');
}

// Every marker ends exactly one message: tests/data/tablas/enmarcador.json.
TEST(Enmarcador, CadaMarcadorTerminaUnMensaje) {
    prueba::comprobarTablas(QStringLiteral("enmarcador"),
                            {{QStringLiteral("trozos"),
                              [](const QJsonArray& a) {
                                  Enmarcador e;
                                  return enmarcar(e, a[0].toArray());
                              }},
                             {QStringLiteral("conLimite"), [](const QJsonArray& a) {
                                  Enmarcador e(a[0].toInt() > 0 ? a[0].toInt() : Enmarcador::limitePorOmision);
                                  return enmarcar(e, a[1].toArray());
                              }}});
}

// A burst read in one go grows the unfinished text to its size; once cut, that memory goes back.
TEST(Enmarcador, UnaRafagaCortadaDevuelveSuMemoria) {
    Enmarcador e;
    const QString mensaje = QString(2000, QLatin1Char('x')) + marcadorFinMensaje.toString();
    e.agregar(mensaje.repeated(1000) + QStringLiteral("{\"tipo\""));
    EXPECT_EQ(e.mensajesPendientes(), 1000u);
    EXPECT_EQ(e.pendiente(), 7);
    EXPECT_LE(e.capacidad(), Enmarcador::capacidadRetenida);
}

} // namespace
} // namespace kestrel
