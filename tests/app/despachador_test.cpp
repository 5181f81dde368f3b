#include <gtest/gtest.h>

#include <stdexcept>

#include "app/despachador.h"
#include "documentos_espia.h"
#include "json/fallo.h"

namespace kestrel {
namespace {

using prueba::DocumentosEspia;

class DespachadorTest : public ::testing::Test {
protected:
    DocumentosEspia espia;
    QStringList log;
    Despachador despachador{espia, [this](const QString& e) { log << e; }};
};

TEST_F(DespachadorTest, CajonConConfiguracionVacia) {
    const QString m = QStringLiteral(R"({"tipo":"cajon","config":[],"dato":{}})");
    despachador.procesarMensaje(m);
    EXPECT_EQ(espia.llamadas, (QStringList{"config", "cajon"}));
    ASSERT_TRUE(espia.configuracion.esLista());
    EXPECT_EQ(espia.configuracion.lista()->count(), 0);
    EXPECT_EQ(log, (QStringList{"Respuesta: " + m, "--"}));
}

// The kind is compared exactly; the configuration is replaced whatever the kind.
TEST_F(DespachadorTest, ElTipoDecideElDocumento) {
    struct Caso {
        const char* mensaje;
        QStringList llamadas;
    };
    const Caso casos[] = {
        {R"({"tipo":"comanda","config":[],"dato":[{},{}]})", {"config", "comanda:2"}},
        {R"({"tipo":"anulacion","config":[],"dato":[{}]})", {"config", "anulacion:1"}},
        {R"({"tipo":"factura","config":[],"dato":{}})", {"config", "factura"}},
        {R"({"tipo":"cajon","config":[]})", {"config", "cajon"}},
        {R"({"tipo":"Comanda","config":[],"dato":[{}]})", {"config"}},
        {R"({"tipo":"CAJON","config":[]})", {"config"}},
        {R"({"tipo":"otro","config":[]})", {"config"}},
        {R"({"config":[],"dato":[]})", {"config"}},
        {R"({"tipo":5,"config":[]})", {"config"}},
        {R"({"tipo":" cajon","config":[]})", {"config"}},
    };
    for (const Caso& c : casos) {
        espia.llamadas.clear();
        despachador.procesarMensaje(QString::fromUtf8(c.mensaje));
        EXPECT_EQ(espia.llamadas, c.llamadas) << c.mensaje;
    }
}

TEST_F(DespachadorTest, LaFacturaRecibeElDatoTalComoVino) {
    despachador.procesarMensaje(QStringLiteral(R"({"tipo":"factura","config":[],"dato":{"totalPagar":"12500"}})"));
    ASSERT_TRUE(espia.dato.esObjeto());
    EXPECT_EQ(espia.dato.objeto()->valorSinInsertar(QStringLiteral("totalPagar")).texto(), QStringLiteral("12500"));
    despachador.procesarMensaje(QStringLiteral(R"({"tipo":"factura","config":[],"dato":[1,2,3]})"));
    ASSERT_TRUE(espia.dato.esLista());
    EXPECT_EQ(espia.dato.lista()->count(), 3);
    despachador.procesarMensaje(QStringLiteral(R"({"tipo":"factura","config":[],"dato":"texto"})"));
    EXPECT_EQ(espia.dato.texto(), QStringLiteral("texto"));
    despachador.procesarMensaje(QStringLiteral(R"({"tipo":"factura","config":[]})"));
    EXPECT_TRUE(espia.dato.esVacio());
}

TEST_F(DespachadorTest, UnMensajeQueNoEsJsonSeRegistraYNoImprime) {
    despachador.procesarMensaje(QStringLiteral("esto no es json"));
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log.at(0), QStringLiteral("Respuesta: esto no es json"));
    EXPECT_EQ(log.at(1), QStringLiteral("--"));
    EXPECT_TRUE(log.at(2).contains(QStringLiteral("Invalid JSON"))) << log.at(2).toStdString();
    EXPECT_TRUE(espia.llamadas.isEmpty()) << "not even the configuration is replaced";
}

// Whatever a document raises ends that message only, with one log line.
TEST_F(DespachadorTest, UnFalloDelDocumentoSeRegistraEnUnaLinea) {
    const QString m = QStringLiteral(R"({"tipo":"cajon","config":[]})");
    espia.alImprimir = [](const QString&) { throw FalloPlataforma(482, QStringLiteral("Error de impresora")); };
    despachador.procesarMensaje(m);
    EXPECT_EQ(log, (QStringList{"Respuesta: " + m, "--", "Error al procesar el mensaje: 482-Error de impresora"}));

    log.clear();
    espia.alImprimir = [](const QString&) { throw std::runtime_error("sin papel"); };
    despachador.procesarMensaje(m);
    EXPECT_EQ(log.last(), QStringLiteral("Error al procesar el mensaje: sin papel"));

    log.clear();
    espia.alImprimir = [](const QString&) { throw 7; };
    despachador.procesarMensaje(m);
    EXPECT_EQ(log.size(), 3);
}

TEST_F(DespachadorTest, EnvolturasRarasNoTumbanAlAgente) {
    struct Caso {
        const char* mensaje;
        const char* lineaFinal;
    };
    const Caso casos[] = {
        {R"({"tipo":"comanda","config":[],"dato":{}})",
         "El mensaje de tipo \"comanda\" no trae una lista en \"dato\": no se imprime"},
        {R"({"tipo":"anulacion","config":[],"dato":"x"})",
         "El mensaje de tipo \"anulacion\" no trae una lista en \"dato\": no se imprime"},
        {R"({"tipo":"cajon"})", "El mensaje no trae \"config\" como objeto o lista"},
        {R"([{"tipo":"cajon"}])", "Error al procesar el mensaje: 13-No coinciden los tipos"},
    };
    for (const Caso& c : casos) {
        log.clear();
        espia.llamadas.clear();
        despachador.procesarMensaje(QString::fromUtf8(c.mensaje));
        ASSERT_FALSE(log.isEmpty());
        EXPECT_TRUE(log.contains(QString::fromUtf8(c.lineaFinal))) << c.mensaje << "\n" << log.join('\n').toStdString();
        EXPECT_FALSE(espia.llamadas.contains(QStringLiteral("comanda:0")));
    }
}

} // namespace
} // namespace kestrel
