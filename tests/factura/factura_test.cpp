// What the goldens cannot show: where the invoice yields, what a failed invoice leaves for the next document,
// the dispatcher still answering, and the sections no invoice reaches.

#include <gtest/gtest.h>

#include <QDir>

#include "app/despachador.h"
#include "json/fallo.h"
#include "json/json.h"
#include "mesa_factura.h"
#include "print/diseno.h"
#include "print/documentos_impresion.h"
#include "print/factura.h"
#include "print/factura_secciones.h"

namespace kestrel::prueba {
namespace {

QString fixture(const char* caso) {
    return leerTexto(QDir(carpetaFacturas()).filePath(QString::fromLatin1(caso) + QStringLiteral(".json")));
}

Valor analizar(const QString& texto) {
    Valor v = jsonParse(texto);
    EXPECT_TRUE(jsonErrors().isEmpty()) << jsonErrors().toStdString();
    return v;
}

Valor miembro(Valor& raiz, const char* nombre) {
    return raiz.comoDictionary().item(QString::fromLatin1(nombre));
}

QStringList lineasPlanas(const DocumentoVista& d) {
    QStringList l = d.texto(false);
    for (QString& s : l)
        s = s.trimmed();
    return l;
}

TEST(CesionDeEventos, UnaSolaVezTrasLosPiesYAntesDeLaPermanencia) {
    MesaFactura mesa;
    Valor raiz = analizar(fixture("permanencia-personas-vencimiento"));
    mesa.ctx->configuracion = miembro(raiz, "config");
    QList<QStringList> abiertosAlCeder;
    int terminadosAlCeder = -1;
    mesa.ctx->cederEventos = [&] {
        auto& vista = dynamic_cast<ImpresoraVistaTexto&>(mesa.ctx->impresora());
        abiertosAlCeder << DocumentoVista{{}, vista.documentoAbierto()}.texto(false);
        terminadosAlCeder = static_cast<int>(mesa.sistema->documentos().size());
    };
    imprimirFactura(*mesa.ctx, miembro(raiz, "dato"));

    ASSERT_EQ(abiertosAlCeder.size(), 1);
    EXPECT_EQ(terminadosAlCeder, 0) << "the invoice's document is still open while other events run";
    const QStringList& hasta = abiertosAlCeder.first();
    ASSERT_GE(hasta.size(), 2);
    EXPECT_EQ(hasta.last(), QString()) << "the blank line closes what is printed before the yield";
    EXPECT_EQ(hasta[hasta.size() - 2].trimmed(), QStringLiteral("SIGUENOS EN REDES @LAGARZA"));
    for (const QString& l : hasta)
        EXPECT_FALSE(l.startsWith(QLatin1String("Permanencia"))) << l.toStdString();

    ASSERT_EQ(mesa.sistema->documentos().size(), 1);
    const QStringList todo = mesa.sistema->documentos()[0].texto(false);
    EXPECT_EQ(todo.mid(0, hasta.size()), hasta);
    EXPECT_EQ(todo[hasta.size()], QStringLiteral("Permanencia  95  Minutos"));
}

TEST(CesionDeEventos, NingunaCuandoLaFacturaNoSeImprime) {
    for (const char* caso : {"mesa-vacia", "pedido-no-lista", "predeterminada-averiada"}) {
        Valor raiz = analizar(fixture(caso));
        MesaFactura mesa(raiz.comoDictionary().valorSinInsertar(QStringLiteral("prueba")));
        int cesiones = 0;
        mesa.ctx->cederEventos = [&] { ++cesiones; };
        mesa.ctx->configuracion = miembro(raiz, "config");
        try {
            imprimirFactura(*mesa.ctx, miembro(raiz, "dato"));
        } catch (const FalloPlataforma&) {
        }
        EXPECT_EQ(cesiones, 0) << caso;
    }
}

// A failed invoice must not go out glued to the front of the next document of the same printer.
TEST(FacturaFallida, SeDescartaYLaSiguienteSaleLimpia) {
    for (const char* caso : {"pedido-no-lista", "impuestos-ausente", "logo-ilegible", "fallo-tras-cliente"}) {
        Valor fallida = analizar(fixture(caso));
        MesaFactura mesa(fallida.comoDictionary().valorSinInsertar(QStringLiteral("prueba")));
        mesa.ctx->configuracion = miembro(fallida, "config");
        EXPECT_THROW(imprimirFactura(*mesa.ctx, miembro(fallida, "dato")), FalloPlataforma) << caso;
        auto* facturas = mesa.sistema->impresora(QStringLiteral("Facturas"));
        EXPECT_TRUE(facturas->documentoAbierto().isEmpty()) << caso;
        EXPECT_TRUE(mesa.sistema->documentos().isEmpty()) << caso;

        QDir(mesa.carpeta.path()).remove(QStringLiteral("logo.bmp"));
        Valor sana = analizar(fixture("cotizacion"));
        mesa.ctx->configuracion = miembro(sana, "config");
        imprimirFactura(*mesa.ctx, miembro(sana, "dato"));
        ASSERT_EQ(mesa.sistema->documentos().size(), 1) << caso;
        const QStringList lineas = lineasPlanas(mesa.sistema->documentos()[0]);
        EXPECT_EQ(lineas.first(), QStringLiteral("=====================================")) << caso;
        EXPECT_EQ(lineas.count(QStringLiteral("RESTAURANTE LA GARZA")), 1) << caso;
        EXPECT_FALSE(lineas.contains(QStringLiteral("Mesa 12"))) << caso;
    }
}

TEST(FacturaFallida, DatoQueNoEsObjetoFallaSinImprimir) {
    MesaFactura mesa;
    Valor raiz = analizar(fixture("cotizacion"));
    mesa.ctx->configuracion = miembro(raiz, "config");
    EXPECT_THROW(imprimirFactura(*mesa.ctx, Valor(QStringLiteral("factura"))), FalloPlataforma);
    EXPECT_THROW(imprimirFactura(*mesa.ctx, analizar(QStringLiteral("[1,2]"))), FalloPlataforma);
    EXPECT_TRUE(mesa.sistema->documentos().isEmpty());
    EXPECT_TRUE(mesa.sistema->impresora(QStringLiteral("Facturas"))->documentoAbierto().isEmpty());
    EXPECT_TRUE(mesa.transcripcion.lineas.isEmpty());
}

TEST(FacturaSinImpresora, NoImprimeNiAvisa) {
    // The default printer is not installed and nothing was selected: the current printer is unusable.
    SistemaVistaTexto sistema({QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    Transcripcion avisos;
    ContextoImpresion ctx(sistema, avisos, QString());
    Valor raiz = analizar(fixture("abierta-propina-sugerida"));
    ctx.configuracion = miembro(raiz, "config");
    imprimirFactura(ctx, miembro(raiz, "dato"));
    EXPECT_TRUE(sistema.documentos().isEmpty());
    EXPECT_TRUE(avisos.lineas.isEmpty());
}

// The dispatcher is what the link calls: a failed invoice is one log line, and the next message prints.
TEST(FacturaFallida, ElDespachadorLaRegistraYSigue) {
    MesaFactura mesa;
    DocumentosImpresion documentos(*mesa.ctx);
    QStringList registro;
    Despachador despachador(&documentos, [&registro](const QString& l) { registro << l; });

    despachador.procesarMensaje(fixture("pedido-no-lista"));
    EXPECT_TRUE(registro.contains(QStringLiteral("Error al procesar el mensaje: 13-No coinciden los tipos")))
        << registro.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(mesa.sistema->documentos().isEmpty());

    despachador.procesarMensaje(fixture("cerrada-pagos-cambio"));
    ASSERT_EQ(mesa.sistema->documentos().size(), 1);
    EXPECT_EQ(lineasPlanas(mesa.sistema->documentos()[0]).count(QStringLiteral("RESTAURANTE LA GARZA")), 1);
    ASSERT_FALSE(mesa.transcripcion.lineas.isEmpty());
    EXPECT_EQ(mesa.transcripcion.lineas.last(),
              QStringLiteral("~ globo informacion 30000 \"Impresion de Factura\": Factura enviada a Facturas"));
}

// The logo's empty lines follow the height of the font the printer has before the invoice sets its own, which
// is what the previous document left (size 7 after a 58 mm invoice).
TEST(Logo, LasLineasBajoElDibujoSiguenLaFuenteAnterior) {
    Valor logo = analizar(fixture("logo-pequeno"));
    MesaFactura mesa(logo.comoDictionary().valorSinInsertar(QStringLiteral("prueba")));
    mesa.ctx->impresora().fijarTamanoFuente(7.0F);
    mesa.ctx->configuracion = miembro(logo, "config");
    imprimirFactura(*mesa.ctx, miembro(logo, "dato"));
    ASSERT_EQ(mesa.sistema->documentos().size(), 1);
    const QList<LineaVista>& lineas = mesa.sistema->documentos()[0].lineas;
    ASSERT_TRUE(lineas[0].esImagen);
    EXPECT_EQ(lineas[0].ancho, 2000);
    EXPECT_EQ(lineas[0].alto, 1000);
    // 1000 / (7 x 24) = 5.95: six empty lines, at size 7, before the header's separator at size 10.
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(lineas[i].texto, QString()) << i;
        EXPECT_EQ(lineas[i].tamano, 7.0F) << i;
    }
    EXPECT_EQ(lineas[7].texto, QStringLiteral("====================================="));
    EXPECT_EQ(lineas[7].tamano, 10.0F);
}

TEST(Logo, UnaImagenDeCualquierFormatoBajoElNombreLogoBmp) {
    MesaFactura mesa;
    const QDir carpeta(mesa.carpeta.path());
    QFile::copy(QDir(carpetaFacturas()).filePath(QStringLiteral("logos/logo-ancho.png")),
                carpeta.filePath(QStringLiteral("logo.bmp")));
    Valor raiz = analizar(fixture("cotizacion"));
    mesa.ctx->configuracion = miembro(raiz, "config");
    imprimirFactura(*mesa.ctx, miembro(raiz, "dato"));
    ASSERT_EQ(mesa.sistema->documentos().size(), 1);
    EXPECT_EQ(mesa.sistema->documentos()[0].lineas[0].comoAnotada(), QStringLiteral("[imagen 4040x808 en 0,20]"));
}

TEST(Encabezado, ConFechaTerminaConLaFechaYLaHoraDelReloj) {
    MesaFactura mesa;
    mesa.ctx->configuracion =
        analizar(QStringLiteral(R"([{"Nombre":"Nombre Establecimiento","Descripcion":"La Garza","Visible":"1"}])"));
    mesa.ctx->ajustes.nombreEstablecimiento = QStringLiteral("La Garza");
    imprimirEncabezado(*mesa.ctx, true);
    auto& vista = dynamic_cast<ImpresoraVistaTexto&>(mesa.ctx->impresora());
    const QStringList lineas = DocumentoVista{{}, vista.documentoAbierto()}.texto(false);
    EXPECT_EQ(lineas, (QStringList{QStringLiteral("====================================="),
                                   QStringLiteral("               LA GARZA"),
                                   QStringLiteral("Fecha 2024-06-01 Hora 13:45:10")}));
}

// Every line of the header is best effort: even a configuration that cannot be read leaves the invoice going.
TEST(Encabezado, UnaConfiguracionIlegibleNoLoDetiene) {
    MesaFactura mesa;
    mesa.ctx->configuracion = Valor(QStringLiteral("no es una lista"));
    mesa.ctx->ajustes.nombreEstablecimiento = QStringLiteral("La Garza");
    EXPECT_NO_THROW(imprimirEncabezado(*mesa.ctx, false));
    EXPECT_THROW(imprimirResolucion(*mesa.ctx), FalloPlataforma);
}

} // namespace
} // namespace kestrel::prueba
