#include <gtest/gtest.h>

#include "impresion_qt.h"
#include "json/json.h"
#include "json/volcado.h"

#include <QDir>
#include <QFile>

using namespace kestrel;

namespace {

QString leer(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Every tests/data/json/<caso>.json against <caso>.esperado: the dump of what the reader built and its exact
// error text, as `kestrel-agente --analizar-json` prints them. KESTREL_REGENERAR=1 rewrites the expected
// files (check the diff before committing it).
TEST(CasosJson, CadaMensajeDaSuVolcadoYSusErrores) {
    const QDir carpeta(qEnvironmentVariable("KESTREL_DATOS_PRUEBA") + QStringLiteral("/json"));
    const QStringList casos = carpeta.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    ASSERT_GE(casos.size(), 10) << carpeta.path().toStdString();
    const bool regenerar = qEnvironmentVariableIntValue("KESTREL_REGENERAR") == 1;
    for (const QString& caso : casos) {
        SCOPED_TRACE(caso.toStdString());
        const Valor resultado = jsonParse(leer(carpeta.filePath(caso)));
        const QString informe = informeAnalisis(resultado, jsonErrors());
        const QString rutaEsperado = carpeta.filePath(QString(caso).replace(QStringLiteral(".json"), ".esperado"));
        if (regenerar) {
            QFile f(rutaEsperado);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(informe.toUtf8());
            continue;
        }
        EXPECT_EQ(informe, leer(rutaEsperado));
    }
}

} // namespace
