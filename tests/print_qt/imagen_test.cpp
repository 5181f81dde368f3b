#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "json/fallo.h"
#include "print/qt/imagen.h"
#include "print/qt/sistemas.h"

using namespace kestrel;

namespace {

constexpr int porMetro(double ppp) {
    return static_cast<int>(ppp / 0.0254 + 0.5);
}

QByteArray codificar(int ancho, int alto, int puntosPorMetro, const char* formato) {
    QImage imagen(ancho, alto, QImage::Format_RGB32);
    imagen.fill(Qt::darkBlue);
    if (puntosPorMetro > 0) {
        imagen.setDotsPerMeterX(puntosPorMetro);
        imagen.setDotsPerMeterY(puntosPorMetro);
    }
    QByteArray datos;
    QBuffer b(&datos);
    b.open(QIODevice::WriteOnly);
    EXPECT_TRUE(imagen.save(&b, formato));
    return datos;
}

/// A BMP that states no resolution, as many editors write them: both pixels-per-metre fields zero.
QByteArray bmpSinResolucion(int ancho, int alto) {
    QByteArray datos = codificar(ancho, alto, porMetro(300), "BMP");
    for (int i = 38; i < 46; ++i)
        datos[i] = 0;
    return datos;
}

/// A picture kept as a test file: GIF cannot be written by Qt.
QByteArray fijo(const char* nombre) {
    QFile f(qEnvironmentVariable("KESTREL_DATOS_PRUEBA") + QStringLiteral("/print_qt/") + QString::fromUtf8(nombre));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    return f.readAll();
}

// By content whatever the name; 600 x 300 pixels are 50.8 x 25.4 mm at 300 dpi, and 96 dpi is assumed when
// the file states nothing. The PDF printers measure the same way.
TEST(Imagen, TamanoNaturalEnCentesimasDeMilimetro) {
    const struct {
        const char* nombre;
        const char* archivo;
        QByteArray contenido;
        QSize esperado;
    } casos[] = {
        {"png300", "logo.png", codificar(600, 300, porMetro(300), "PNG"), QSize(5080, 2540)},
        {"pngConNombreBmp", "logo.bmp", codificar(600, 300, porMetro(300), "PNG"), QSize(5080, 2540)},
        {"jpeg200ComoBmp", "logo.bmp", codificar(400, 200, porMetro(200), "JPEG"), QSize(5080, 2540)},
        {"gifSinResolucion", "logo.bmp", fijo("gif-96x48.bmp"), QSize(2540, 1270)},
        {"bmpSinResolucion", "logo.bmp", bmpSinResolucion(192, 96), QSize(5080, 2540)},
        {"bmp150", "logo.bmp", codificar(150, 75, porMetro(150), "BMP"), QSize(2540, 1270)},
    };
    for (const auto& c : casos) {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QString::fromUtf8(c.archivo));
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenido);
        f.close();
        EXPECT_EQ(tamanoImagenNatural(ruta), c.esperado) << c.nombre;
        EXPECT_EQ(crearSistemaVirtual({QStringLiteral("A")}, dir.path())->tamanoImagen(ruta), c.esperado) << c.nombre;
    }
}

TEST(Imagen, LoQueNoEsUnaImagenFallaConElNumero481) {
    QTemporaryDir dir;
    const QString basura = dir.filePath(QStringLiteral("logo.bmp"));
    QFile f(basura);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM esto no es un mapa de bits");
    f.close();
    for (const QString& ruta : {basura, dir.filePath(QStringLiteral("no-existe.bmp"))}) {
        try {
            tamanoImagenNatural(ruta);
            ADD_FAILURE() << "no fallo: " << ruta.toStdString();
        } catch (const FalloPlataforma& e) {
            EXPECT_EQ(e.numero(), 481);
            EXPECT_TRUE(e.descripcion().contains(ruta));
        }
    }
}

} // namespace
