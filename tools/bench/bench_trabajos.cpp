// The job journal's cost, next to what it records. Both use the invoice samples/factura-cerrada-pagos.json with
// samples/logo.bmp in the application folder, printed on a PDF virtual printer.
//   BM_DiarioPorDocumento  over 200 invoices: render_p50_us / render_p99_us for the invoice drawn without a
//                          journal, diario_p50_us / diario_p99_us for its entry written ("enviando", document and
//                          pictures included) and updated after. Target: the journal a small part of the render.
//   BM_TamanoDiario        trabajos.sqlite (with its write-ahead log) after 10,000 documents, half of them that
//                          invoice with the logo, half samples/comanda.json: counter mb. Target at most 50 MB.
// The status reply with the journal on and off is BM_RespuestaImpresion in bench_enlace.cpp.
//   ./build/tools/bench/kestrel-bench --benchmark_filter='Diario|RespuestaImpresion'

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "app/impresion_agente.h"
#include "json/json.h"
#include "print/avisos.h"
#include "print/documentos_impresion.h"
#include "trabajos/diario_sqlite.h"

#include "servicio_bench.h"

namespace {

using namespace kestrel;
using Reloj = std::chrono::steady_clock;

class AvisosMudos : public Avisos {
public:
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

Valor muestra(const char* nombre) {
    QFile f(QStringLiteral(KESTREL_MUESTRAS "/") + QLatin1String(nombre));
    return f.open(QIODevice::ReadOnly) ? jsonParse(QString::fromUtf8(f.readAll())) : Valor();
}

/// The agent's printing over PDF virtual printers, with the journal as the agent keeps it or without one.
struct Impresion {
    QTemporaryDir dir;
    AvisosMudos avisos;
    TrabajosAgente trabajos;
    std::unique_ptr<Documentos> documentos;

    explicit Impresion(bool conDiario) {
        QFile::copy(QStringLiteral(KESTREL_MUESTRAS "/logo.bmp"), dir.filePath(QStringLiteral("logo.bmp")));
        OpcionesImpresion o;
        o.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
        o.salida = dir.filePath(QStringLiteral("salida"));
        o.carpetaAplicacion = dir.path();
        if (conDiario)
            documentos = crearImpresionAgente(o, avisos, &trabajos);
        else
            documentos = std::make_unique<DocumentosImpresion>(crearSistemaAgente(o, avisos), avisos, dir.path());
    }
    void imprimir(Valor mensaje) {
        Dictionary& d = mensaje.comoDictionary();
        documentos->fijarConfiguracion(d.item(QStringLiteral("config")));
        if (d.item(QStringLiteral("tipo")).comoTexto() == QLatin1String("factura"))
            documentos->imprimirFactura(d.item(QStringLiteral("dato")));
        else
            documentos->imprimirComanda(*d.item(QStringLiteral("dato")).lista());
    }
    /// The documents printed, as the journal keeps them.
    QList<EntradaTrabajo> entradas() {
        QList<EntradaTrabajo> todas;
        for (const EntradaTrabajo& e : trabajos.diario->entradas())
            todas << *trabajos.diario->entrada(e.numero);
        return todas;
    }
};

void BM_DiarioPorDocumento(benchmark::State& estado) {
    constexpr int documentos = 200;
    const Valor factura = muestra("factura-cerrada-pagos.json");
    for (auto _ : estado) {
        Impresion sinDiario(false);
        std::vector<double> render;
        for (int i = 0; i < documentos; ++i) {
            const auto t0 = Reloj::now();
            sinDiario.imprimir(factura);
            render.push_back(std::chrono::duration<double, std::micro>(Reloj::now() - t0).count());
        }
        Impresion conDiario(true);
        conDiario.imprimir(factura);
        const QList<EntradaTrabajo> grabadas = conDiario.entradas();
        if (grabadas.size() != 1 || grabadas.first().documento.imagenes().isEmpty()) {
            estado.SkipWithError("la factura no quedo en el diario con su logo");
            return;
        }
        DiarioSqlite& diario = *conDiario.trabajos.diario;
        std::vector<double> escritura;
        for (int i = 0; i < documentos; ++i) {
            const auto t0 = Reloj::now();
            const qint64 numero = diario.anotar(grabadas.first());
            diario.actualizar(numero, EstadoTrabajo::Impreso, QStringLiteral("Facturas"), QString());
            escritura.push_back(std::chrono::duration<double, std::micro>(Reloj::now() - t0).count());
        }
        estado.counters["render_p50_us"] = medicion::percentil(render, 0.50);
        estado.counters["render_p99_us"] = medicion::percentil(render, 0.99);
        estado.counters["diario_p50_us"] = medicion::percentil(escritura, 0.50);
        estado.counters["diario_p99_us"] = medicion::percentil(escritura, 0.99);
    }
}
BENCHMARK(BM_DiarioPorDocumento)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TamanoDiario(benchmark::State& estado) {
    constexpr int documentos = 10000;
    for (auto _ : estado) {
        Impresion impresion(true);
        impresion.imprimir(muestra("factura-cerrada-pagos.json"));
        impresion.imprimir(muestra("comanda.json"));
        const QList<EntradaTrabajo> grabadas = impresion.entradas();
        if (grabadas.size() < 2) {
            estado.SkipWithError("los documentos no quedaron en el diario");
            return;
        }
        // A fresh journal, so the two sample entries above are not counted twice.
        QTemporaryDir carpeta;
        qint64 bytes = 0;
        {
            DiarioSqlite diario(carpeta.path(), &impresion.avisos);
            for (int i = 0; i < documentos; ++i) {
                const EntradaTrabajo& e = grabadas.at(i % 2 == 0 ? 0 : grabadas.size() - 1);
                diario.actualizar(diario.anotar(e), EstadoTrabajo::Impreso, e.pedida, QString());
            }
            const QString ruta = carpeta.filePath(QString::fromLatin1(DiarioSqlite::nombreArchivo));
            bytes = QFileInfo(ruta).size() + QFileInfo(ruta + QStringLiteral("-wal")).size();
        }
        estado.counters["mb"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_TamanoDiario)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
