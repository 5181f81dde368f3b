#include <gtest/gtest.h>

#include "dialogos_prueba.h"
#include "json/cjsonscript.h"

namespace kestrel {
namespace {

// A script shows its boxes through the window's own dialogs, so whatever answers the window answers it too.
TEST(DialogosDeLaVentana, AtiendenLasCajasDeUnScript) {
    prueba::DialogosPrueba dialogos;
    dialogos.respuestas.push_back(QStringLiteral("Mesa 7"));
    cJSONScript script(dialogos);

    const QString salida = script.Eval(QStringLiteral(
        R"([{"alert":{"message":"Listo","title":"Aviso"}},"Cliente en ",{"input":{"prompt":"Mesa?","title":"Pedido","default":"1"}}])"));

    EXPECT_EQ(salida, QStringLiteral("Cliente en Mesa 7"));
    ASSERT_EQ(dialogos.mostrados.size(), 2);
    EXPECT_EQ(dialogos.mostrados[0].tipo, QStringLiteral("mensaje"));
    EXPECT_EQ(dialogos.mostrados[0].texto, QStringLiteral("Listo"));
    EXPECT_EQ(dialogos.mostrados[0].titulo, QStringLiteral("Aviso"));
    EXPECT_EQ(dialogos.mostrados[1].texto, QStringLiteral("Mesa?"));
    EXPECT_FALSE(dialogos.agotado);
}

TEST(DialogosDeLaVentana, UnScriptQueNoSeLeeMuestraElErrorDelLector) {
    prueba::DialogosPrueba dialogos;
    cJSONScript script(dialogos);

    EXPECT_EQ(script.Eval(QStringLiteral("no es json")), QString());
    ASSERT_EQ(dialogos.mostrados.size(), 1);
    EXPECT_EQ(dialogos.mostrados[0].texto, QStringLiteral("Invalid JSON"));
    EXPECT_EQ(dialogos.mostrados[0].titulo, QStringLiteral("Parser Error"));
    EXPECT_EQ(dialogos.mostrados[0].icono, IconoMensaje::Exclamacion);
}

} // namespace
} // namespace kestrel
