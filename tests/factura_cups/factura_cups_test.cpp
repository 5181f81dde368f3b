// End to end through the private scheduler the CTest fixture starts: queues Facturas (the default) and
// Cocina, each capturing its jobs into <caja>/out/<cola>-<n>. The invoice goes through the dispatcher to CUPS
// as the agent sends it.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "apoyo.h"
#include "app/despachador.h"
#include "dorados.h"
#include "print/documentos_impresion.h"
#include "print/qt/sistemas.h"

using namespace kestrel;
using namespace ::prueba;
using namespace kestrel::prueba;
using namespace std::chrono_literals;

namespace {

class FacturaCups : public ::testing::Test, public Avisos {
protected:
    void SetUp() override {
        ASSERT_FALSE(caja().isEmpty()) << "falta la caja de CUPS de la prueba";
        ASSERT_TRUE(carpeta.isValid());
        esperarColaVacia();
        antes = archivos(capturas());
    }
    void mostrarGlobo(const QString& mensaje, int, const QString& titulo, int) override {
        globos << titulo + QStringLiteral(": ") + mensaje;
    }
    void registrar(const QString& entrada) override { registro << entrada; }

    void procesar(const char* caso) {
        despachador.procesarMensaje(
            mensajeDeCaso(carpetaDatos(QStringLiteral("facturas/%1.json").arg(QString::fromLatin1(caso)))));
    }

    QTemporaryDir carpeta;
    std::unique_ptr<SistemaImpresion> sistema = crearSistemaEquipo(5s);
    ContextoImpresion ctx{*sistema, *this, carpeta.path()};
    DocumentosImpresion documentos{ctx};
    Despachador despachador{documentos, [this](const QString& l) { registro << l; }};
    QStringList antes;
    QStringList globos;
    QStringList registro;
};

TEST_F(FacturaCups, FacturaCerradaConLogoALaColaPredeterminada) {
    ASSERT_TRUE(QFile::copy(carpetaDatos(QStringLiteral("facturas/logos/logo-ancho.png")),
                            carpeta.filePath(QStringLiteral("logo.bmp"))));
    procesar("cerrada-pagos-cambio");
    EXPECT_TRUE(globos.contains(QStringLiteral("Impresion de Factura: Factura enviada a Facturas")))
        << registro.join(QLatin1Char('\n')).toStdString();

    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Facturas"});
    EXPECT_GE(infoPdf(nuevos.first()).imagenes, 1) << "the logo is drawn at the top";
    const std::string texto = textoPdf(nuevos.first()).toStdString();
    for (const char* linea :
         {"RESTAURANTE LA GARZA", "DESDE FE-1 HASTA FE-5000", "Factura de venta No FE-1234", "Bandeja paisa",
          "CON POLLO Y ALCAPARRAS", "-> SIN ALCAPARRAS", "PROPINA", "131.450", "Tarjeta debito Visa 4411",
          "TOTAL PAGADO", "Efectivo Recibido", "100.550", "Cambio Entregado", "Software Kestrelin"})
        EXPECT_NE(texto.find(linea), std::string::npos) << linea << "\n" << texto;
}

// A failed invoice is discarded: nothing reaches the queue, and the next invoice is not glued to it.
TEST_F(FacturaCups, LaFallidaNoLlegaALaColaNiSePegaALaSiguiente) {
    procesar("fallo-tras-cliente");
    EXPECT_TRUE(registro.contains(QStringLiteral("Error al procesar el mensaje: 13-No coinciden los tipos")))
        << registro.join(QLatin1Char('\n')).toStdString();
    procesar("cotizacion");

    const auto nuevos = esperarTrabajos(antes);
    ASSERT_EQ(nuevos.keys(), QStringList{"Facturas"});
    const QString texto = textoPdf(nuevos.first());
    EXPECT_EQ(texto.count(QStringLiteral("RESTAURANTE LA GARZA")), 1) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("COTIZACION")));
    EXPECT_FALSE(texto.contains(QStringLiteral("Mesa 12"))) << texto.toStdString();
}

} // namespace
