// A kitchen order printed on a receipt printer spoken to in ESC/POS, against the same order on a PDF virtual
// printer. Both run the whole agent over loopback: the window, crearImpresionAgente with the job journal, the
// printers "Facturas" (PDF, the default) and "Cocina"; the order is the Cocina part of samples/comanda.json
// with 20 products, 300 times, one at a time (the next order goes once the printer has stored the last job).
//   BM_ComandaEscpos/1   "Cocina" is the emulated printer (--escpos Cocina=tcp://127.0.0.1:PUERTO) on a thread of
//                        its own: time from the service writing the last byte of the order to the cut command
//                        arriving at the printer, counters p50_us / p99_us / max_us; respuesta_p50_us to the
//                        service's status reply; bytes, the ticket as the printer stored it (without the status
//                        requests). Targets: p50 at most 2 ms, at least 3 times faster than BM_ComandaEscposPdf,
//                        at most 2 KB.
//   BM_ComandaEscpos/0   the same without the job journal: what the journal adds before the ticket leaves.
//   BM_ComandaEscposPdf  "Cocina" is a PDF virtual printer: time from the write to the status reply, which the
//                        agent sends once the PDF is on disk (the virtual printer writes it before returning);
//                        bytes, the PDF's size.
//   QT_QPA_PLATFORM=offscreen ./build/tools/bench/kestrel-bench --benchmark_filter=Escpos
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "emulador.h"
#include "print/escpos/destino.h"
#include "servicio_bench.h"

namespace {

using namespace medicion;

constexpr int comandas = 300;
// Far beyond any honest figure: only a job that never comes waits this long.
constexpr std::chrono::seconds plazoImpresora{5};

// The Cocina order of the sample, its products repeated up to cuantos.
std::string comandaCocina(int cuantos) {
    QFile muestra(QStringLiteral(KESTREL_MUESTRAS "/comanda.json"));
    muestra.open(QIODevice::ReadOnly);
    QJsonObject raiz = QJsonDocument::fromJson(muestra.readAll()).object();
    QJsonObject cocina;
    for (const QJsonValue& d : raiz.value(QStringLiteral("dato")).toArray()) {
        if (d.toObject().value(QStringLiteral("area")).toString() == QLatin1String("Cocina"))
            cocina = d.toObject();
    }
    const QJsonArray muestras = cocina.value(QStringLiteral("productos")).toArray();
    QJsonArray productos;
    for (int i = 0; i < cuantos && !muestras.isEmpty(); ++i)
        productos.append(muestras.at(i % muestras.size()));
    cocina.insert(QStringLiteral("productos"), productos);
    raiz.insert(QStringLiteral("dato"), QJsonArray{cocina});
    return conMarcador(QJsonDocument(raiz).toJson(QJsonDocument::Compact).toStdString());
}

// The emulated printer on a thread of its own, so the moment a cut arrives is taken as the bytes come in,
// whatever the agent's event loop is doing. The service's thread waits on it.
class ImpresoraEnHilo {
public:
    explicit ImpresoraEnHilo(const QString& carpeta) {
        m_ancla.moveToThread(&m_hilo);
        m_hilo.start();
        QMetaObject::invokeMethod(
            &m_ancla,
            [this, carpeta] {
                kestrel::OpcionesEmulador opciones;
                opciones.carpeta = carpeta;
                m_emulador = new kestrel::EmuladorEscpos(opciones);
                QObject::connect(m_emulador, &kestrel::EmuladorEscpos::corteRecibido, m_emulador,
                                 [this] { anotar(m_cortes, Reloj::now()); });
                QObject::connect(m_emulador, &kestrel::EmuladorEscpos::trabajoGuardado, m_emulador,
                                 [this](int, const QByteArray& datos) { anotar(m_trabajos, datos.size()); });
                if (m_emulador->escuchar(0, QHostAddress::LocalHost))
                    m_puerto = m_emulador->puerto();
            },
            Qt::BlockingQueuedConnection);
    }
    ~ImpresoraEnHilo() {
        QMetaObject::invokeMethod(
            &m_ancla, [this] { delete m_emulador; }, Qt::BlockingQueuedConnection);
        m_hilo.quit();
        m_hilo.wait();
    }
    ImpresoraEnHilo(const ImpresoraEnHilo&) = delete;
    ImpresoraEnHilo& operator=(const ImpresoraEnHilo&) = delete;

    /// 0 when it could not listen.
    quint16 puerto() const { return m_puerto; }
    /// When cut number n (from 1) arrived, once it has.
    std::optional<Reloj::time_point> corte(std::size_t n) { return esperar(m_cortes, n); }
    /// The size of job number n (from 1), once it is stored.
    std::optional<qsizetype> trabajo(std::size_t n) { return esperar(m_trabajos, n); }
    std::size_t cortes() {
        const std::lock_guard cerrojo(m_mutex);
        return m_cortes.size();
    }

private:
    template <typename T> void anotar(std::vector<T>& lista, T valor) {
        {
            const std::lock_guard cerrojo(m_mutex);
            lista.push_back(valor);
        }
        m_cambio.notify_all();
    }
    template <typename T> std::optional<T> esperar(const std::vector<T>& lista, std::size_t n) {
        std::unique_lock cerrojo(m_mutex);
        if (!m_cambio.wait_for(cerrojo, plazoImpresora, [&] { return lista.size() >= n; }))
            return std::nullopt;
        return lista.at(n - 1);
    }

    QThread m_hilo;
    QObject m_ancla;
    kestrel::EmuladorEscpos* m_emulador = nullptr;
    quint16 m_puerto = 0;
    std::mutex m_mutex;
    std::condition_variable m_cambio;
    std::vector<Reloj::time_point> m_cortes;
    std::vector<qsizetype> m_trabajos;
};

double microsegundos(Reloj::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void BM_ComandaEscpos(benchmark::State& state) {
    const std::string mensaje = comandaCocina(20);
    for (auto _ : state) {
        Servicio servicio;
        QTemporaryDir trabajos;
        ImpresoraEnHilo cocina(trabajos.path());
        const auto destino =
            kestrel::leerDestinoEscpos(QStringLiteral("Cocina=tcp://127.0.0.1:%1").arg(cocina.puerto()), nullptr);
        if (cocina.puerto() == 0 || !destino) {
            state.SkipWithError("the emulated printer could not listen");
            return;
        }
        const AgenteImpresion agente(
            servicio,
            [&](kestrel::OpcionesImpresion& o) {
                o.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
                o.escpos = {*destino};
            },
            state.range(0) != 0);
        std::vector<double> alCorte;
        std::vector<double> alResponder;
        qsizetype bytes = 0;
        bool unCortePorTrabajo = true;
        conServicio(servicio, [&](Servicio& s) {
            if (!s.aceptar())
                return;
            for (std::size_t i = 1; i <= comandas; ++i) {
                s.escribir(mensaje.data(), mensaje.size());
                const auto t0 = Reloj::now();
                if (!s.leerObjeto())
                    return;
                const auto respuesta = Reloj::now();
                const auto corte = cocina.corte(i);
                // The next order starts once this job is over, or it would wait behind its status request.
                const auto tamano = cocina.trabajo(i);
                if (!corte || !tamano)
                    return;
                // A ticket that came twice would pair every later order with an earlier order's cut.
                unCortePorTrabajo = cocina.cortes() == i;
                if (!unCortePorTrabajo)
                    return;
                alCorte.push_back(microsegundos(*corte - t0));
                alResponder.push_back(microsegundos(respuesta - t0));
                bytes = std::max(bytes, *tamano);
            }
        });
        if (!unCortePorTrabajo) {
            state.SkipWithError("a job brought more than one cut");
            continue;
        }
        informar(state, alCorte, comandas);
        if (alResponder.size() == comandas)
            state.counters["respuesta_p50_us"] = percentil(alResponder, 0.50);
        state.counters["bytes"] = static_cast<double>(bytes);
    }
}
BENCHMARK(BM_ComandaEscpos)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ComandaEscposPdf(benchmark::State& state) {
    const std::string mensaje = comandaCocina(20);
    for (auto _ : state) {
        Servicio servicio;
        const AgenteImpresion agente(servicio, [](kestrel::OpcionesImpresion& o) {
            o.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
        });
        informar(state, latencias(servicio, comandas, mensaje), comandas);
        const QFileInfoList pdf =
            QDir(agente.opciones().salida).entryInfoList({QStringLiteral("Cocina*.pdf")}, QDir::Files);
        if (pdf.size() < comandas) {
            state.SkipWithError("the orders were not printed");
            continue;
        }
        state.counters["bytes"] = static_cast<double>(pdf.first().size());
    }
}
BENCHMARK(BM_ComandaEscposPdf)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
