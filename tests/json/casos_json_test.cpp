// Every tests/data/json/<case>.json (the fuzzer's seeds too) against <case>.esperado: the dump of what the
// reader built and its exact error text, as `kestrel-agente --analizar-json` prints them.

#include <gtest/gtest.h>

#include "dorados.h"
#include "json/json.h"
#include "json/volcado.h"

namespace kestrel::prueba {
namespace {

class CasoJson : public testing::TestWithParam<std::string> {};

TEST_P(CasoJson, DaSuVolcadoYSusErrores) {
    const QString caso = carpetaDatos(QString::fromStdString(GetParam()));
    const Valor resultado = jsonParse(leerTexto(caso + ".json"));
    compararConDorado(caso + ".esperado", informeAnalisis(resultado, jsonErrors()));
}

INSTANTIATE_TEST_SUITE_P(Lector, CasoJson, testing::ValuesIn(casosDe(QStringLiteral("json"))), nombreDeCaso);

} // namespace
} // namespace kestrel::prueba
