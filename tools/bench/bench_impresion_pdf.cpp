// A 20-product kitchen order printed on a PDF virtual printer: what a ticket costs once it is drawn, next to
// the text-view benchmark of the same order. Run with
//   ./build/tools/bench/kestrel-bench --benchmark_filter=Pdf

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "json/json.h"
#include "print/avisos.h"
#include "print/comanda.h"
#include "print/contexto.h"
#include "print/qt/impresora_qt.h"
#include "print/qt/pintor.h"
#include "print/qt/sistema_virtual.h"

namespace {

using namespace kestrel;

class AvisosMudos : public Avisos {
public:
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

/// The message of a busy table: 20 products with notes, prices shown, customer and platform blocks.
QString mensajeComandaDeVeinte() {
    QString productos;
    for (int i = 1; i <= 20; ++i) {
        const int cantidad = i % 3 + 1;
        productos += QStringLiteral("%1{\"nombre\":\"Hamburguesa doble de la casa numero %2\",\"cantidad\":%3,"
                                    "\"valor\":%4,\"detalle\":[\"sin cebolla\"%5]}")
                         .arg(i > 1 ? QStringLiteral(",") : QString())
                         .arg(i)
                         .arg(cantidad)
                         .arg(18500 * cantidad)
                         .arg(i % 2 == 0 ? QStringLiteral(",\"termino medio, papas en casco aparte\"") : QString());
    }
    return QStringLiteral("{\"config\":[{\"Nombre\":\"Valores En Comanda\",\"Descripcion\":\"1\",\"Visible\":\"1\"}],"
                          "\"dato\":[{\"area\":\"Cocina\",\"titulo\":\"Pedido a domicilio\",\"nomMesa\":\"Mesa 12\","
                          "\"productos\":[") +
           productos +
           QStringLiteral("],\"responsable\":\"Ana Maria\",\"nPedido\":4711,\"fecha\":\"2024-01-05 09:07:03\","
                          "\"clienteNombre\":\"Carlos Perez\",\"clienteTelefono\":\"300 555 0101\","
                          "\"clienteDireccion\":\"Calle 45 # 12-30 apartamento 501\","
                          "\"codPlataforma\":\"RAPPI-99812\"}],\"tipo\":\"comanda\"}");
}

/// Whole road on a virtual printer: layout in twips, PDF and text view written to disk.
void BM_ComandaPdfVirtual(benchmark::State& estado) {
    QTemporaryDir dir;
    SistemaVirtual sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, dir.path());
    AvisosMudos avisos;
    ContextoImpresion ctx(sistema, avisos, QString());
    Valor mensaje = jsonParse(mensajeComandaDeVeinte());
    ctx.configuracion = mensaje.comoDictionary().item(QStringLiteral("config"));
    const std::shared_ptr<Collection> comandas = mensaje.comoDictionary().item(QStringLiteral("dato")).lista();
    // A ticket that silently fails would make the loop look fast.
    imprimirComanda(ctx, *comandas);
    if (QDir(dir.path()).entryList({QStringLiteral("Cocina-*.pdf")}).size() != 1) {
        estado.SkipWithError("la comanda no se imprimio");
        return;
    }
    for (auto _ : estado)
        imprimirComanda(ctx, *comandas);
    estado.SetItemsProcessed(estado.iterations());
    estado.SetLabel("documentos");
}
BENCHMARK(BM_ComandaPdfVirtual)->Unit(benchmark::kMillisecond);

/// Keeps the ended document instead of sending it.
class SalidaGuardada : public SalidaImpresora {
public:
    QString nombre() override { return QStringLiteral("Cocina"); }
    void comprobar() override {}
    void entregar(const DocumentoGrabado& documento) override { ultimo = documento; }
    DocumentoGrabado ultimo;
};

/// Painting alone: the recorded ticket drawn into a PDF in memory.
void BM_ComandaPdfSoloPintar(benchmark::State& estado) {
    CatalogoFuentes fuentes;
    auto salida = std::make_unique<SalidaGuardada>();
    SalidaGuardada& guardada = *salida;
    ImpresoraQt cocina(std::move(salida), fuentes);
    class UnaImpresora : public SistemaImpresion {
    public:
        explicit UnaImpresora(Impresora& i) : m_i(i) {}
        QStringList impresoras() override { return {QStringLiteral("Cocina")}; }
        QString predeterminada() override { return QStringLiteral("Cocina"); }
        void seleccionar(int) override {}
        Impresora& actual() override { return m_i; }
        void escribirCrudo(const QString&, const QByteArray&) override {}
        QSize tamanoImagen(const QString&) override { return {}; }

    private:
        Impresora& m_i;
    } sistema(cocina);
    AvisosMudos avisos;
    ContextoImpresion ctx(sistema, avisos, QString());
    Valor mensaje = jsonParse(mensajeComandaDeVeinte());
    ctx.configuracion = mensaje.comoDictionary().item(QStringLiteral("config"));
    imprimirComanda(ctx, *mensaje.comoDictionary().item(QStringLiteral("dato")).lista());
    if (guardada.ultimo.renglones().size() < 60) {
        estado.SkipWithError("la comanda no se imprimio entera");
        return;
    }
    QByteArray pdf;
    for (auto _ : estado) {
        pdf.clear();
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        escribirPdf(guardada.ultimo, buffer, FormatoRollo{}, QStringLiteral("Cocina"));
        benchmark::DoNotOptimize(pdf.size());
    }
    estado.SetItemsProcessed(estado.iterations());
    estado.SetLabel("documentos");
}
BENCHMARK(BM_ComandaPdfSoloPintar)->Unit(benchmark::kMillisecond);

} // namespace
