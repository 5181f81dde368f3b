#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "json/fallo.h"
#include "print/qt/imagen.h"
#include "print/qt/sistemas.h"
#include "tablas.h"

using namespace kestrel;
using kestrel::prueba::falloO;

namespace {

QString imagen(const char* nombre) {
    return prueba::carpetaDatos(QStringLiteral("print_qt/imagenes/") + QString::fromUtf8(nombre));
}

// By content whatever the name (tests/data/print_qt/imagenes); 600 x 300 pixels are 50.8 x 25.4 mm at 300 dpi,
// and 96 dpi is assumed when the file states nothing (the BMP with both pixels-per-metre fields zero, as many
// editors write them, and the GIF). The PDF printers measure the same way.
TEST(Imagen, TamanoNaturalEnCentesimasDeMilimetro) {
    const struct {
        const char* archivo;
        QSize esperado;
    } casos[] = {{"png300.png", QSize(5080, 2540)},
                 {"png-con-nombre-bmp.bmp", QSize(5080, 2540)},
                 {"jpeg200-como-bmp.bmp", QSize(5080, 2540)},
                 {"gif-sin-resolucion.bmp", QSize(2540, 1270)},
                 {"bmp-sin-resolucion.bmp", QSize(5080, 2540)},
                 {"bmp150.bmp", QSize(2540, 1270)}};
    QTemporaryDir dir;
    const auto sistema = crearSistemaVirtual({QStringLiteral("A")}, dir.path());
    for (const auto& c : casos) {
        EXPECT_EQ(tamanoImagenNatural(imagen(c.archivo)), c.esperado) << c.archivo;
        EXPECT_EQ(sistema->tamanoImagen(imagen(c.archivo)), c.esperado) << c.archivo;
    }
}

TEST(Imagen, LoQueNoEsUnaImagenFallaConElNumero481) {
    for (const QString& ruta : {imagen("basura.bmp"), imagen("no-existe.bmp")}) {
        const QString fallo = falloO([&] { return tamanoImagenNatural(ruta), QString(); }, true);
        EXPECT_TRUE(fallo.startsWith(QStringLiteral("fallo 481: ")) && fallo.contains(ruta)) << fallo.toStdString();
    }
}

} // namespace
