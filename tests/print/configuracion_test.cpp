// Reading the "config" list: tests/data/tablas/configuracion.json.

#include <gtest/gtest.h>

#include "banco.h"
#include "print/configuracion.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

TEST(Configuracion, Tablas) {
    comprobarTablas(
        QStringLiteral("configuracion"),
        {{QStringLiteral("consultar"),
          [](const QJsonArray& a) {
              Banco b;
              b.ctx.configuracion = valorDe(a[0]);
              QStringList r;
              for (const QJsonValue& n : a[1].toArray()) {
                  const QString nombre = n.toString();
                  r << QStringLiteral("%1: %2 (%3)")
                           .arg(nombre, falloO([&] { return valorConfiguracion(b.ctx, nombre); }),
                                falloO([&] { return QString::number(configuracionVisible(b.ctx, nombre)); }));
              }
              return r.join(u'\n');
          }},
         {QStringLiteral("cargar"), [](const QJsonArray& a) {
              Banco b;
              b.ctx.ajustes.valorServicio = 7;
              b.ctx.ajustes.aplicaPropina = true;
              b.ctx.configuracion = ajustes({{a[0].toString(), a[1].toString()}});
              const AjustesFactura& s = b.ctx.ajustes;
              return falloO([&] {
                  cargarConfiguracion(b.ctx);
                  return QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(s.tituloVendedor, s.nombreFacturaCerrada, s.conceptoDomicilio)
                      .arg(s.aplicaPropina ? 1 : 0)
                      .arg(s.valorServicio);
              });
          }}});
}

} // namespace
} // namespace kestrel::prueba
