// Printer choice beyond what the golden receipts show: name matching (tests/data/tablas/seleccion.json) and
// what the current printer reports.

#include <gtest/gtest.h>

#include "banco.h"
#include "json/fallo.h"
#include "print/seleccion.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

TEST(IndiceImpresora, Tablas) {
    comprobarTablas(QStringLiteral("seleccion"),
                    {{QStringLiteral("indiceImpresora"), [](const QJsonArray& a) {
                          QStringList nombres;
                          for (const QJsonValue& n : a[0].toArray())
                              nombres << n.toString();
                          Banco b(nombres, a[1].toString());
                          try {
                              return QString::number(indiceImpresora(b.ctx, a[2].toString()));
                          } catch (const FalloPlataforma& f) {
                              return QStringLiteral("fallo %1: %2").arg(f.numero()).arg(f.descripcion());
                          }
                      }}});
}

TEST(SeleccionarImpresora, LaNombradaSanaNoGastaPapel) {
    Banco b;
    ASSERT_TRUE(seleccionarImpresora(b.ctx, 1, 0));
    EXPECT_EQ(b.ctx.impresora().nombreDispositivo(), QStringLiteral("Cocina"));
    EXPECT_TRUE(b.abierto().isEmpty());
    EXPECT_TRUE(b.avisos.globos.isEmpty());
}

TEST(ImpresoraDisponible, SegunElNombreDelDispositivo) {
    Banco sinPredeterminada({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    EXPECT_FALSE(impresoraDisponible(sinPredeterminada.ctx));
    sinPredeterminada.ctx.impresoras.seleccionar(0);
    EXPECT_TRUE(impresoraDisponible(sinPredeterminada.ctx));
    Banco averiada;
    averiada.sistema.fijarAveriada(QStringLiteral("Facturas"));
    EXPECT_TRUE(impresoraDisponible(averiada.ctx)) << "una cola detenida sigue diciendo su nombre";
    EXPECT_EQ(impresoraPredeterminada(averiada.ctx), QStringLiteral("Facturas"));
}

} // namespace
} // namespace kestrel::prueba
