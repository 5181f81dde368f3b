// The invoice's one yield with the real link around it: a message that arrives while the invoice's document
// is open waits until the invoice has ended and then prints on its own, on its own printer.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <memory>

#include "app/enlace.h"
#include "app/vista_previa.h"
#include "dorados.h"
#include "salida_enlace_prueba.h"
#include "servicio_prueba.h"

namespace kestrel::prueba {
namespace {

const QByteArray comanda = QByteArrayLiteral(
    R"({"tipo":"comanda","config":[],"dato":[{"area":"Cocina","titulo":null,"nomMesa":"Mesa 5","productos":[)"
    R"({"nombre":"Arepa","cantidad":1,"detalle":[]}],"responsable":"Luz","nPedido":7,"fecha":"hoy"}]})"
    "_endMessage_");

TEST(FacturaEnElEnlace, LoQueLlegaDuranteLaCesionSeImprimeDespuesYAparte) {
    ServicioPrueba servicio;
    ASSERT_TRUE(servicio.escuchar());
    SalidaEnlacePrueba salida;
    VistaPrevia vista(OpcionesVistaPrevia(), [](CanalTranscripcion, const QString&) {});

    ConfiguracionEnlace c;
    c.puerto = servicio.puerto();
    c.intervaloVigilancia = 20;
    c.intervaloPing = 3600 * 1000;
    Enlace enlace(c, salida, [&vista](const QString& m) { vista.procesarMensaje(m); });
    enlace.codigoSucursal = QStringLiteral("123456789012345");
    enlace.reconectar = true;

    int cesiones = 0;
    bool llegoDuranteLaCesion = false;
    int abiertasEnCocina = -1;
    vista.contexto().cederEventos = [&] {
        ++cesiones;
        servicio.enviar(comanda);
        // What the agent does at this point: let the window's events run, the socket's among them.
        llegoDuranteLaCesion = esperarHasta([&] { return enlace.enmarcador().mensajesPendientes() == 1; });
        abiertasEnCocina =
            static_cast<int>(vista.sistema().impresora(QStringLiteral("Cocina"))->documentoAbierto().size());
    };

    enlace.iniciar();
    ASSERT_TRUE(esperarHasta([&] { return servicio.identificaciones().size() == 1; }));
    ASSERT_TRUE(esperarHasta([&] { return enlace.estadoSocket() == 7; }));
    const QString factura = mensajeDeCaso(carpetaDatos(QStringLiteral("facturas/cerrada-pagos-cambio.json")));
    servicio.enviar(factura.toUtf8() + "_endMessage_");
    ASSERT_TRUE(esperarHasta([&] { return servicio.estados().size() == 2; }));

    EXPECT_EQ(cesiones, 1);
    EXPECT_TRUE(llegoDuranteLaCesion) << "the kitchen order must reach the agent while the invoice is open";
    EXPECT_EQ(abiertasEnCocina, 0) << "nothing of the kitchen order may print during the invoice";
    const QList<DocumentoVista>& docs = vista.sistema().documentos();
    ASSERT_EQ(docs.size(), 2);
    EXPECT_EQ(docs[0].impresora, QStringLiteral("Facturas"));
    EXPECT_EQ(docs[1].impresora, QStringLiteral("Cocina"));
    const QStringList lineasFactura = docs[0].texto(false);
    EXPECT_FALSE(lineasFactura.contains(QStringLiteral("Mesa 5")));
    EXPECT_EQ(lineasFactura.filter(QStringLiteral("Software Kestrelin")).size(), 1)
        << "the invoice's closing lines go to its own printer, once";
    EXPECT_TRUE(docs[1].texto(false).contains(QStringLiteral("Mesa 5")));
    EXPECT_FALSE(docs[1].texto(false).join(QLatin1Char('\n')).contains(QStringLiteral("Software Kestrelin")));
}

} // namespace
} // namespace kestrel::prueba
