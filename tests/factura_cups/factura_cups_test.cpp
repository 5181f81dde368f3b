// End to end through the private scheduler the CTest fixture starts: queues Facturas (the default) and
// Cocina, each capturing its jobs into <caja>/out/<cola>-<n>. The invoice goes through the dispatcher to CUPS
// as the agent sends it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "apoyo.h"
#include "app/despachador.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/documentos_impresion.h"
#include "print/qt/sistemas.h"

using namespace kestrel;
using namespace std::chrono_literals;

namespace {

class AvisosGrabados : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int, const QString& titulo, int) override {
        globos << titulo + QStringLiteral(": ") + mensaje;
    }
    void registrar(const QString& entrada) override { registro << entrada; }

    QStringList globos;
    QStringList registro;
};

QString datos(const QString& relativa) {
    return QDir(QStringLiteral(KESTREL_DATOS_FUENTE)).filePath(relativa);
}

QString leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QDir capturas() {
    return QDir(qEnvironmentVariable("KESTREL_CAJA_CUPS") + QStringLiteral("/out"));
}

/// No job may still be in the scheduler when a test counts the captured files.
void esperarColaVacia() {
    for (int i = 0; i < 200; ++i) {
        if (prueba::ejecutar(QStringLiteral("lpstat"), {"-o"}).texto.trimmed().isEmpty())
            return;
        QThread::msleep(50);
    }
}

class FacturaCups : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("KESTREL_CAJA_CUPS")) << "falta la caja de CUPS de la prueba";
        ASSERT_TRUE(carpeta.isValid());
        esperarColaVacia();
        antes = prueba::archivos(capturas());
    }

    void conLogo() {
        ASSERT_TRUE(QFile::copy(datos(QStringLiteral("facturas/logos/logo-ancho.png")),
                                QDir(carpeta.path()).filePath(QStringLiteral("logo.bmp"))));
    }

    void procesar(const char* caso) {
        despachador.procesarMensaje(leer(datos(QStringLiteral("facturas/%1.json").arg(QString::fromLatin1(caso)))));
    }

    QTemporaryDir carpeta;
    std::unique_ptr<SistemaImpresion> sistema = crearSistemaCups(5s);
    AvisosGrabados avisos;
    ContextoImpresion ctx{*sistema, avisos, carpeta.path()};
    DocumentosImpresion documentos{ctx};
    Despachador despachador{&documentos, [this](const QString& l) { avisos.registro << l; }};
    QStringList antes;
};

TEST_F(FacturaCups, FacturaCerradaConLogoALaColaPredeterminada) {
    conLogo();
    procesar("cerrada-pagos-cambio");
    EXPECT_TRUE(avisos.globos.contains(QStringLiteral("Impresion de Factura: Factura enviada a Facturas")))
        << avisos.registro.join(QLatin1Char('\n')).toStdString();

    const QStringList nuevos = prueba::esperarArchivosNuevos(capturas(), antes);
    ASSERT_EQ(nuevos.size(), 1) << nuevos.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(nuevos[0].startsWith(QLatin1String("Facturas-")));
    const QString pdf = capturas().filePath(nuevos[0]);
    EXPECT_GE(prueba::imagenesPdf(pdf), 1) << "the logo is drawn at the top";

    const QString texto = prueba::textoPdf(pdf);
    for (const char* linea :
         {"RESTAURANTE LA GARZA", "DESDE FE-1 HASTA FE-5000", "Factura de venta No FE-1234", "Bandeja paisa",
          "CON POLLO Y ALCAPARRAS", "-> SIN ALCAPARRAS", "PROPINA", "131.450", "Tarjeta debito Visa 4411",
          "TOTAL PAGADO", "Efectivo Recibido", "100.550", "Cambio Entregado", "Software Kestrelin"})
        EXPECT_TRUE(texto.contains(QString::fromUtf8(linea))) << linea << "\n" << texto.toStdString();
}

// A failed invoice is discarded: nothing reaches the queue, and the next invoice is not glued to it.
TEST_F(FacturaCups, LaFallidaNoLlegaALaColaNiSePegaALaSiguiente) {
    procesar("fallo-tras-cliente");
    EXPECT_TRUE(avisos.registro.contains(QStringLiteral("Error al procesar el mensaje: 13-No coinciden los tipos")))
        << avisos.registro.join(QLatin1Char('\n')).toStdString();
    procesar("cotizacion");

    const QStringList nuevos = prueba::esperarArchivosNuevos(capturas(), antes);
    esperarColaVacia();
    const QStringList todos = prueba::archivos(capturas());
    EXPECT_EQ(todos.size() - antes.size(), 1) << todos.join(QLatin1Char(' ')).toStdString();
    ASSERT_FALSE(nuevos.isEmpty());
    const QString texto = prueba::textoPdf(capturas().filePath(nuevos[0]));
    EXPECT_EQ(texto.count(QStringLiteral("RESTAURANTE LA GARZA")), 1) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("COTIZACION")));
    EXPECT_FALSE(texto.contains(QStringLiteral("Mesa 12"))) << texto.toStdString();
}

} // namespace
