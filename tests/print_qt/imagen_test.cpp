#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

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

struct CasoImagen {
    const char* nombre;
    const char* archivo;
    std::function<QByteArray()> contenido;
    QSize esperado;
};

// Short test names when CTest lists them.
void PrintTo(const CasoImagen& c, std::ostream* os) {
    *os << c.nombre;
}

class TamanoNatural : public ::testing::TestWithParam<CasoImagen> {};

TEST_P(TamanoNatural, EnCentesimasDeMilimetroPorElContenido) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QString::fromUtf8(GetParam().archivo));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(GetParam().contenido());
    f.close();
    EXPECT_EQ(tamanoImagenNatural(ruta), GetParam().esperado);
    EXPECT_EQ(crearSistemaVirtual({QStringLiteral("A")}, dir.path())->tamanoImagen(ruta), GetParam().esperado);
}

// 600 x 300 pixels are 50.8 x 25.4 mm at 300 dpi; 96 dpi is assumed when the file states nothing.
const CasoImagen casosImagen[] = {
    {"png300", "logo.png", [] { return codificar(600, 300, porMetro(300), "PNG"); }, QSize(5080, 2540)},
    {"pngConNombreBmp", "logo.bmp", [] { return codificar(600, 300, porMetro(300), "PNG"); }, QSize(5080, 2540)},
    {"jpeg200ComoBmp", "logo.bmp", [] { return codificar(400, 200, porMetro(200), "JPEG"); }, QSize(5080, 2540)},
    {"gifSinResolucion", "logo.bmp", [] { return fijo("gif-96x48.bmp"); }, QSize(2540, 1270)},
    {"bmpSinResolucion", "logo.bmp", [] { return bmpSinResolucion(192, 96); }, QSize(5080, 2540)},
    {"bmp150", "logo.bmp", [] { return codificar(150, 75, porMetro(150), "BMP"); }, QSize(2540, 1270)},
};

INSTANTIATE_TEST_SUITE_P(Imagen, TamanoNatural, ::testing::ValuesIn(casosImagen),
                         [](const auto& caso) { return std::string(caso.param.nombre); });

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
