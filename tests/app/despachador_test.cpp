#include <gtest/gtest.h>

#include <stdexcept>

#include "app/despachador.h"
#include "documentos_espia.h"
#include "json/fallo.h"
#include "tablas.h"

namespace kestrel {
namespace {

// A message in, the documents asked for and the exact log out: tests/data/tablas/despachador.json. The second
// argument makes the document raise a platform failure ("fallo"), a standard exception ("error") or anything
// else ("otro").
TEST(Despachador, CadaMensajeDaSusDocumentosYSuRegistro) {
    prueba::comprobarTablas(QStringLiteral("despachador"),
                            {{QStringLiteral("procesar"), [](const QJsonArray& a) {
                                  prueba::DocumentosEspia espia;
                                  QStringList salida;
                                  const QString lanzar = a[1].toString();
                                  espia.alImprimir = [&](const QString&) {
                                      if (lanzar == QLatin1String("fallo"))
                                          throw FalloPlataforma(482, QStringLiteral("Error de impresora"));
                                      if (lanzar == QLatin1String("error"))
                                          throw std::runtime_error("sin papel");
                                      if (!lanzar.isEmpty())
                                          throw 7;
                                  };
                                  Despachador d(espia, [&](const QString& e) { salida << e; });
                                  d.procesarMensaje(a[0].toString());
                                  return (espia.llamadas + salida).join(u'\n');
                              }}});
}

} // namespace
} // namespace kestrel
