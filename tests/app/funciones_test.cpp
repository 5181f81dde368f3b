#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/funciones.h"

namespace kestrel {
namespace {

TEST(ExisteArchivo, ArchivosYCarpetasConOSinSeparadorFinal) {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("logo.bmp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    struct Caso {
        QString ruta;
        bool existe;
    };
    const Caso casos[] = {
        {dir.filePath(QStringLiteral("logo.bmp")), true},
        {dir.filePath(QStringLiteral("Logo.bmp")), false},
        {dir.filePath(QStringLiteral("sub")), true},
        {dir.filePath(QStringLiteral("sub/")), true},
        {dir.path() + QStringLiteral("/"), true},
        {dir.filePath(QStringLiteral("no-existe")), false},
        {dir.filePath(QStringLiteral("no-existe/")), false},
        {QStringLiteral("/"), true},
        {QString(), false},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(existeArchivo(c.ruta), c.existe) << c.ruta.toStdString();
}

} // namespace
} // namespace kestrel
