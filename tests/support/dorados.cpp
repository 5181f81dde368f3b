#include "dorados.h"

#include <QFile>

namespace kestrel::prueba {

QString leerTexto(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

void compararConDorado(const QString& rutaDorado, const QString& obtenido, const char* variableReescritura) {
    if (!qgetenv(variableReescritura).isEmpty()) {
        QFile f(rutaDorado);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << rutaDorado.toStdString();
        f.write(obtenido.toUtf8());
        GTEST_SKIP() << "reescrito " << rutaDorado.toStdString();
    }
    EXPECT_EQ(obtenido.toStdString(), leerTexto(rutaDorado).toStdString());
}

std::string nombreDeCaso(const testing::TestParamInfo<std::string>& info) {
    std::string n = info.param;
    for (char& c : n) {
        if (c == '-')
            c = '_';
    }
    return n;
}

} // namespace kestrel::prueba
