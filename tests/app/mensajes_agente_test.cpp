#include <gtest/gtest.h>

#include "app/mensajes_agente.h"
#include "tablas.h"

namespace kestrel {
namespace {

// What the agent says to the service: tests/data/tablas/mensajes_agente.json.
TEST(MensajesAgente, IdentificacionYEstado) {
    prueba::comprobarTablas(
        QStringLiteral("mensajes_agente"),
        {{QStringLiteral("identificacion"),
          [](const QJsonArray& a) {
              const QString id = textoIdentificacion(a[0].toString());
              return id + u' ' + QString::number(id.size());
          }},
         {QStringLiteral("estado"), [](const QJsonArray& a) { return textoEstado(a[0].toString(), a[1].toInt()); }}});
}

} // namespace
} // namespace kestrel
