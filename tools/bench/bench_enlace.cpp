// The link to the print service, measured on loopback.
//   BM_RespuestaEnlace    time from the service writing the last byte of a message to it receiving the status
//                         reply, over 1,000 messages (link + dispatcher + JSON reader, renderers doing nothing):
//                         counters p50_us / p99_us / max_us. Target p50 under 1 ms.
//   BM_RespuestaVentana   the same through the whole window (log box, tray), offscreen.
//   BM_RespuestaImpresion the same through the whole window with the real printing on PDF virtual printers,
//                         over 300 orders: /0 without the job journal, /1 with it. Target: /1 within 10 % of /0.
//   BM_EnmarcadoTrozos    a message of N MB (16 to 64) delivered in 1 KB chunks and cut at its marker; the
//                         fitted complexity shows the framing is linear.
//   BM_MensajeGrandeTcp   a 64 MB message over TCP in 1 KB writes, to its status reply.
//   BM_Reconexion         the service comes back after a drop: time to the identification with the real
//                         1000 ms watch, worst of 20 tries (counter peor_ms). Takes about 30 s.
//   ./build/tools/bench/kestrel-bench --benchmark_filter='Respuesta|Enmarcado|Grande|Reconexion'
//   ./build/tools/bench/kestrel-bench --benchmark_filter=RespuestaImpresion
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/almacen_codigo.h"
#include "app/despachador.h"
#include "app/enlace.h"
#include "app/enmarcador.h"
#include "app/frm_main.h"
#include "print/documentos.h"
#include "salida_nula.h"
#include "servicio_bench.h"

namespace {

using namespace medicion;

// Renderers that do nothing, so only the link is measured.
class DocumentosNulos : public kestrel::Documentos {
public:
    void fijarConfiguracion(const kestrel::Valor&) override {}
    void imprimirComanda(kestrel::Collection&) override {}
    void imprimirFactura(const kestrel::Valor&) override {}
    void imprimirAnulacion(kestrel::Collection&) override {}
    void abrirCajon() override {}
};

// A kitchen order of about 1 KB, as the service sends them.
std::string mensajeComanda() {
    std::string m =
        R"({"tipo":"comanda","config":[{"Nombre":"Tamano de Factura","Descripcion":"rollo 75mm","Visible":"1"},)"
        R"({"Nombre":"NombreEstablecimiento","Descripcion":"La Fonda Paisa","Visible":"1"}],"dato":[)";
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            m += ",";
        m += R"({"area":"Cocina","impresora":"Cocina","mesa":"12","mesero":"Ana","NombreProducto":"Bandeja paisa",)"
             R"("cantidad":2,"observacion":"sin cebolla"})";
    }
    return conMarcador(m + "]}");
}

void BM_RespuestaEnlace(benchmark::State& state) {
    constexpr int mensajes = 1000;
    for (auto _ : state) {
        Servicio servicio;
        DocumentosNulos documentos;
        SalidaNula salida;
        kestrel::Despachador despachador(documentos, [](const QString&) {});
        kestrel::ConfiguracionEnlace c;
        c.puerto = servicio.puerto;
        c.intervaloVigilancia = 1;
        kestrel::Enlace enlace(c, salida, [&](const QString& m) { despachador.procesarMensaje(m); });
        enlace.codigoSucursal = QStringLiteral("123456789012345");
        enlace.reconectar = true;
        enlace.iniciar();
        informar(state, latencias(servicio, mensajes, mensajeComanda()), mensajes);
    }
}
BENCHMARK(BM_RespuestaEnlace)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RespuestaVentana(benchmark::State& state) {
    constexpr int mensajes = 1000;
    for (auto _ : state) {
        Servicio servicio;
        QTemporaryDir carpeta;
        kestrel::escribirCodigo(carpeta.filePath(QStringLiteral("Acceso")), QStringLiteral("123456789012345"));
        DialogosNulos dialogos;
        AreaNula area;
        kestrel::DependenciasVentana d;
        d.dialogos = &dialogos;
        d.area = &area;
        d.carpetaAplicacion = carpeta.path();
        d.enlace.puerto = servicio.puerto;
        d.enlace.intervaloVigilancia = 1;
        d.crearDocumentos = [](kestrel::Avisos&, kestrel::TrabajosAgente&) {
            return std::make_unique<DocumentosNulos>();
        };
        kestrel::frmMain ventana(d);
        ventana.Form_Load();
        informar(state, latencias(servicio, mensajes, mensajeComanda()), mensajes);
    }
}
BENCHMARK(BM_RespuestaVentana)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RespuestaImpresion(benchmark::State& state) {
    constexpr int mensajes = 300;
    // A real kitchen order (two areas, two tickets), as the demo sends it.
    QFile muestra(QStringLiteral(KESTREL_MUESTRAS "/comanda.json"));
    muestra.open(QIODevice::ReadOnly);
    const std::string mensaje = conMarcador(muestra.readAll().toStdString());
    for (auto _ : state) {
        Servicio servicio;
        const AgenteImpresion agente(
            servicio,
            [](kestrel::OpcionesImpresion& o) {
                o.impresorasVirtuales = {QStringLiteral("Facturas"), QStringLiteral("Cocina")};
            },
            state.range(0) != 0);
        informar(state, latencias(servicio, mensajes, mensaje), mensajes);
        if (QDir(agente.opciones().salida).entryList({QStringLiteral("*.pdf")}).size() < mensajes)
            state.SkipWithError("the orders were not printed");
    }
}
BENCHMARK(BM_RespuestaImpresion)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EnmarcadoTrozos(benchmark::State& state) {
    const qsizetype total = state.range(0) * 1024 * 1024;
    const QString trozo(1024, QLatin1Char('x'));
    for (auto _ : state) {
        kestrel::Enmarcador enmarcador;
        for (qsizetype enviado = 0; enviado < total; enviado += trozo.size())
            enmarcador.agregar(trozo);
        enmarcador.agregar(kestrel::marcadorFinMensaje);
        kestrel::MensajeRecibido m = enmarcador.tomarMensaje();
        benchmark::DoNotOptimize(m.texto.size());
    }
    state.SetBytesProcessed(state.iterations() * total);
    state.SetComplexityN(total);
}
// From 16 MB on: smaller buffers fit the processor's cache and would flatter the fit.
BENCHMARK(BM_EnmarcadoTrozos)
    ->RangeMultiplier(2)
    ->Range(16, 64)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_MensajeGrandeTcp(benchmark::State& state) {
    const size_t total = 64u * 1024 * 1024;
    const std::string trozo(1024, 'x');
    for (auto _ : state) {
        Servicio servicio;
        SalidaNula salida;
        qsizetype recibido = -1;
        kestrel::ConfiguracionEnlace c;
        c.puerto = servicio.puerto;
        c.intervaloVigilancia = 1;
        kestrel::Enlace enlace(c, salida, [&](const QString& m) { recibido = m.size(); });
        enlace.codigoSucursal = QStringLiteral("123456789012345");
        enlace.reconectar = true;
        enlace.iniciar();
        conServicio(servicio, [&](Servicio& s) {
            if (!s.aceptar())
                return;
            for (size_t enviado = 0; enviado < total; enviado += trozo.size())
                s.escribir(trozo.data(), trozo.size());
            const std::string marcador = kestrel::marcadorFinMensaje.toString().toStdString();
            s.escribir(marcador.data(), marcador.size());
            s.leerObjeto();
        });
        if (recibido != static_cast<qsizetype>(total))
            state.SkipWithError("the message did not arrive whole");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(total));
}
BENCHMARK(BM_MensajeGrandeTcp)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Reconexion(benchmark::State& state) {
    constexpr int intentos = 20;
    for (auto _ : state) {
        Servicio servicio;
        SalidaNula salida;
        kestrel::ConfiguracionEnlace c; // the real 1000 ms watch
        c.puerto = servicio.puerto;
        kestrel::Enlace enlace(c, salida, [](const QString&) {});
        enlace.codigoSucursal = QStringLiteral("123456789012345");
        enlace.reconectar = true;
        enlace.iniciar();
        std::vector<double> ms;
        conServicio(servicio, [&](Servicio& s) {
            if (!s.aceptar())
                return;
            std::mt19937 azar(7);
            std::uniform_int_distribution<int> pausa(50, 1500);
            for (int i = 0; i < intentos; ++i) {
                s.cerrarTodo();
                std::this_thread::sleep_for(std::chrono::milliseconds(pausa(azar)));
                s.escucharDeNuevo();
                const auto t0 = Reloj::now();
                if (!s.aceptar())
                    return;
                ms.push_back(std::chrono::duration<double, std::milli>(Reloj::now() - t0).count());
            }
        });
        if (static_cast<int>(ms.size()) != intentos) {
            state.SkipWithError("the agent did not come back every time");
            continue;
        }
        state.counters["peor_ms"] = *std::max_element(ms.begin(), ms.end());
        state.counters["p50_ms"] = percentil(ms, 0.5);
    }
}
BENCHMARK(BM_Reconexion)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
