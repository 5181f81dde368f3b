// The metrics endpoint, measured on loopback.
//   BM_Exposicion         writing the exposition of an agent with 10 printers that printed for a day.
//   BM_Raspado            one whole scrape from a client: connect, GET /metrics, read the answer to its end.
//   BM_RespuestaRaspada   the reply latency of the window printing 600 orders on PDF virtual printers, with the
//                         metrics endpoint on and the printers polled every second: /0 not scraped, /1 scraped
//                         every second as Prometheus would (counters p50_us / p99_us / max_us, scrapes).
//                         Target: /1 within 5 % of /0.
//   ./build/tools/bench/kestrel-bench --benchmark_filter='Exposicion|Raspado|RespuestaRaspada'
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTcpSocket>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/opciones_salud.h"
#include "metricas/metricas.h"
#include "metricas/servidor_metricas.h"
#include "servicio_bench.h"

namespace {

using namespace medicion;

/// Metrics as an agent with 10 printers has them after a busy day.
void llenar(kestrel::Metricas& m) {
    for (int i = 0; i < 10; ++i) {
        const QString impresora = QStringLiteral("Impresora %1").arg(i);
        m.fijarImpresora(impresora, kestrel::EstadoImpresora::Lista, QDateTime::currentDateTime());
        for (int d = 0; d < 50; ++d)
            m.contarDocumento(QStringLiteral("comanda"), impresora, QStringLiteral("impreso"));
    }
    for (int i = 0; i < 500; ++i)
        m.contarMensaje(QStringLiteral("comanda"));
}

kestrel::Metricas metricasDePrueba() {
    return kestrel::Metricas(QStringLiteral("0.1.0"), {"comanda", "anulacion", "factura", "cajon"},
                             {"comanda", "anulacion", "factura", "cajon", "reimpresion"},
                             {"impreso", "reenviado", "fallido"});
}

/// One scrape, as a client on its own thread does it; the size of the answer, 0 when it failed.
qsizetype raspar(quint16 puerto) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, puerto);
    if (!s.waitForConnected(2000))
        return 0;
    s.write("GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/plain\r\n\r\n");
    QByteArray r;
    while (s.state() == QAbstractSocket::ConnectedState && s.waitForReadyRead(2000))
        r += s.readAll();
    r += s.readAll();
    return r.startsWith("HTTP/1.1 200 ") ? r.size() : 0;
}

void BM_Exposicion(benchmark::State& state) {
    kestrel::Metricas m = metricasDePrueba();
    llenar(m);
    for (auto _ : state)
        benchmark::DoNotOptimize(m.exposicion().size());
}
BENCHMARK(BM_Exposicion)->Unit(benchmark::kMicrosecond);

void BM_Raspado(benchmark::State& state) {
    kestrel::Metricas m = metricasDePrueba();
    llenar(m);
    kestrel::ServidorMetricas servidor(m);
    if (!servidor.escuchar(QHostAddress::LocalHost, 0, std::nullopt, nullptr))
        state.SkipWithError("the endpoint did not start");
    for (auto _ : state) {
        if (raspar(servidor.puerto()) == 0)
            state.SkipWithError("a scrape failed");
    }
}
BENCHMARK(BM_Raspado)->Unit(benchmark::kMicrosecond);

void BM_RespuestaRaspada(benchmark::State& state) {
    constexpr int mensajes = 600;
    QFile muestra(QStringLiteral(KESTREL_MUESTRAS "/comanda.json"));
    muestra.open(QIODevice::ReadOnly);
    const std::string mensaje = conMarcador(muestra.readAll().toStdString());
    kestrel::OpcionesSalud salud;
    salud.sondeoImpresoras = 1;
    salud.metricas = true;
    for (auto _ : state) {
        Servicio servicio;
        const AgenteImpresion agente(
            servicio,
            [](kestrel::OpcionesImpresion& o) {
                o.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
            },
            true, &salud);
        std::mutex mutex;
        std::condition_variable parar;
        bool terminado = false;
        std::atomic_int raspados = 0;
        std::thread prometheus;
        if (state.range(0) != 0) {
            prometheus = std::thread([&, puerto = agente.puertoMetricas()] {
                std::unique_lock<std::mutex> candado(mutex);
                do {
                    candado.unlock();
                    raspados += raspar(puerto) > 0 ? 1 : 0;
                    candado.lock();
                } while (!parar.wait_for(candado, std::chrono::seconds(1), [&] { return terminado; }));
            });
        }
        informar(state, latencias(servicio, mensajes, mensaje), mensajes);
        {
            std::lock_guard<std::mutex> candado(mutex);
            terminado = true;
        }
        parar.notify_all();
        if (prometheus.joinable())
            prometheus.join();
        state.counters["raspados"] = raspados.load();
    }
}
BENCHMARK(BM_RespuestaRaspada)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
