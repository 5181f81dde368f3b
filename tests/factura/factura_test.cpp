// The header's parts that no golden invoice reaches: the dated form, and a configuration that cannot be read.

#include <gtest/gtest.h>

#include "app/vista_previa.h"
#include "json/fallo.h"
#include "json/json.h"
#include "print/factura_secciones.h"

namespace kestrel::prueba {
namespace {

struct Encabezado : testing::Test {
    Encabezado() {
        ctx.reloj = [] { return QDateTime(QDate(2024, 6, 1), QTime(13, 45, 10)); };
        ctx.ajustes.nombreEstablecimiento = QStringLiteral("La Garza");
    }
    OpcionesVistaPrevia o;
    QStringList lineas;
    VistaPrevia vista{o, [this](CanalTranscripcion, const QString& l) { lineas << l; }, false};
    ContextoImpresion& ctx = vista.contexto();
};

TEST_F(Encabezado, ConFechaTerminaConLaFechaYLaHoraDelReloj) {
    ctx.configuracion =
        jsonParse(QStringLiteral(R"([{"Nombre":"Nombre Establecimiento","Descripcion":"La Garza","Visible":"1"}])"));
    imprimirEncabezado(ctx, true);
    ctx.impresora().finDocumento();
    EXPECT_EQ(
        lineas,
        (QStringList{QStringLiteral("=== Facturas ==="), QStringLiteral("====================================="),
                     QStringLiteral("               LA GARZA"), QStringLiteral("Fecha 2024-06-01 Hora 13:45:10")}));
}

// Every line of the header is best effort: even a configuration that cannot be read leaves the invoice going.
TEST_F(Encabezado, UnaConfiguracionIlegibleNoLoDetiene) {
    ctx.configuracion = Valor(QStringLiteral("no es una lista"));
    EXPECT_NO_THROW(imprimirEncabezado(ctx, false));
    EXPECT_THROW(imprimirResolucion(ctx), FalloPlataforma);
}

} // namespace
} // namespace kestrel::prueba
