#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/funciones.h"
#include "tablas.h"

namespace kestrel {
namespace {

// tests/data/tablas/funciones.json.
TEST(Funciones, ExisteArchivo) {
    QTemporaryDir dir;
    ASSERT_TRUE(prueba::escribirArchivo(dir.filePath(QStringLiteral("logo.bmp"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    prueba::comprobarTablas(QStringLiteral("funciones"),
                            {{QStringLiteral("existeArchivo"), [&](const QJsonArray& a) {
                                  const bool existe =
                                      existeArchivo(a[0].toString().replace(QStringLiteral("DIR"), dir.path()));
                                  return QString::fromLatin1(existe ? "true" : "false");
                              }}});
}

} // namespace
} // namespace kestrel
