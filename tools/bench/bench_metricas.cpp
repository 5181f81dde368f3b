// The metrics endpoint, measured on loopback.
//   BM_Exposicion         writing the exposition of an agent with 10 printers that printed for a day.
//   BM_Raspado            one whole scrape from a client: connect, GET /metrics, read the answer to its end.
//   BM_RespuestaRaspada   the reply latency of the window printing 1,000 orders on PDF virtual printers, with the
//                         metrics endpoint on and the printers polled every second, in blocks of 100 orders
//                         scraped every second as Prometheus would and not scraped, in turn (counters
//                         p50/p99 _sin_us and _con_us, dif_p50_pct, raspados). Target: dif_p50_pct within 5 %.
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
    // Blocks of orders, scraped and not in turn, on one agent and one connection: whatever else the machine
    // does falls on both alike.
    constexpr int bloques = 10;
    constexpr int porBloque = 100;
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
        std::condition_variable aviso;
        bool terminado = false;
        bool raspando = false;
        std::atomic_int raspados = 0;
        // Prometheus: a scrape as soon as a scraped block starts, then one a second.
        std::thread prometheus([&, puerto = agente.puertoMetricas()] {
            std::unique_lock<std::mutex> candado(mutex);
            while (!terminado) {
                if (!raspando) {
                    aviso.wait(candado, [&] { return terminado || raspando; });
                    continue;
                }
                candado.unlock();
                raspados += raspar(puerto) > 0 ? 1 : 0;
                candado.lock();
                aviso.wait_for(candado, std::chrono::seconds(1), [&] { return terminado || !raspando; });
            }
        });
        const auto fijar = [&](bool terminar, bool raspar) {
            {
                std::lock_guard<std::mutex> candado(mutex);
                terminado = terminar;
                raspando = raspar;
            }
            aviso.notify_all();
        };
        std::vector<double> sin, con;
        conServicio(servicio, [&](Servicio& s) {
            if (!s.aceptar())
                return;
            for (int b = 0; b < bloques; ++b) {
                fijar(false, b % 2 == 1);
                for (int i = 0; i < porBloque; ++i) {
                    s.escribir(mensaje.data(), mensaje.size());
                    const auto t0 = Reloj::now();
                    if (!s.leerObjeto())
                        return;
                    (b % 2 == 1 ? con : sin)
                        .push_back(std::chrono::duration<double, std::micro>(Reloj::now() - t0).count());
                }
            }
        });
        fijar(true, false);
        prometheus.join();
        if (sin.size() + con.size() != std::size_t{bloques * porBloque}) {
            state.SkipWithError("the agent did not answer every message");
            continue;
        }
        state.counters["p50_sin_us"] = percentil(sin, 0.50);
        state.counters["p50_con_us"] = percentil(con, 0.50);
        state.counters["p99_sin_us"] = percentil(sin, 0.99);
        state.counters["p99_con_us"] = percentil(con, 0.99);
        state.counters["dif_p50_pct"] = 100.0 * (percentil(con, 0.50) / percentil(sin, 0.50) - 1.0);
        state.counters["raspados"] = raspados.load();
    }
}
BENCHMARK(BM_RespuestaRaspada)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
