// jsonParse against nlohmann::json on the messages the agent receives. Each parser reads its usual input:
// jsonParse the QString the link hands over, nlohmann the UTF-8 bytes. Compare BM_jsonParse/<caso> with
// BM_nlohmann/<caso>; BM_jsonParseTamano shows that the time grows in proportion to the size (up to 64 MB).
//   ./build/tools/bench/kestrel-bench --benchmark_filter='json|nlohmann|Tamano'
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <QString>

#include <string>

#include "json/json.h"

namespace {

std::string producto(int i) {
    const char* nombres[] = {"Bandeja paisa",       "Ajiaco santafereño",   "Limonada de coco",  "Arepa de choclo",
                             "Sancocho de gallina", "Jugo de lulo en agua", "Posta cartagenera", "Tinto"};
    return "{\"idProducto\":" + std::to_string(1000 + i) + ",\"NombreProducto\":\"" + nombres[i % 8] +
           "\",\"cantidad\":" + std::to_string(1 + i % 3) + ",\"valor\":" + std::to_string(4500 + (i * 250) % 40000) +
           ".50,\"DescuentoIndividual\":0,\"observacion\":\"sin cebolla, término medio\",\"area\":\"Cocina " +
           std::to_string(i % 2 + 1) + "\",\"anulado\":false,\"impuesto\":8}";
}

std::string configuracion() {
    std::string c = "\"config\":[";
    const char* nombres[] = {"NombreEstablecimiento", "Nit",     "Direccion", "Telefono", "Resolucion",
                             "PrefijoFactura",        "Propina", "Leyenda1",  "Leyenda2", "TamanoRollo"};
    for (int i = 0; i < 10; ++i) {
        if (i > 0)
            c += ",";
        c += std::string("{\"Nombre\":\"") + nombres[i] +
             "\",\"Descripcion\":\"Restaurante La Fonda Paisa - sede Laureles\",\"Visible\":\"1\"}";
    }
    return c + "]";
}

std::string factura(int productos) {
    std::string m = "{" + configuracion() +
                    ",\"tipo\":\"factura\",\"dato\":{\"numFactura\":\"FV-1042\",\"nomMesa\":\"Mesa 7\","
                    "\"mesero\":\"Andrés Gómez\",\"fecha\":\"2024-05-18 13:42:10\",\"pedido\":[";
    for (int i = 0; i < productos; ++i) {
        if (i > 0)
            m += ",";
        m += producto(i);
    }
    return m + "],\"subtotal\":102000,\"totalPagar\":110160.99,\"CntGroupon\":0,"
               "\"impuestos\":[{\"nombre\":\"INC 8%\",\"valor\":8160}],\"abierta\":false,\"observacion\":null}}";
}

std::string cadenasConEscapes() {
    std::string m = "{\"tipo\":\"comanda\",\"notas\":[";
    for (int i = 0; i < 2000; ++i) {
        if (i > 0)
            m += ",";
        m += "\"";
        for (int k = 0; k < 25; ++k)
            m += "Sin \\\"ají\\\" \\u00f1\\n\\tmás\\\\";
        m += "\"";
    }
    return m + "]}";
}

/// The invoice message padded with products to `bytes`.
std::string deTamano(std::size_t bytes) {
    std::string m = "{" + configuracion() + ",\"tipo\":\"factura\",\"dato\":{\"pedido\":[";
    for (int i = 0; m.size() < bytes; ++i) {
        if (i > 0)
            m += ",";
        m += producto(i);
    }
    return m + "]}}";
}

const std::string& caso(int i) {
    static const std::string casos[] = {factura(12), factura(5000), cadenasConEscapes()};
    return casos[i];
}

const char* const nombresCaso[] = {"factura_5kb", "productos_1mb", "cadenas_escapadas"};

void BM_jsonParse(benchmark::State& estado, int i) {
    const QString texto = QString::fromStdString(caso(i));
    for (auto _ : estado) {
        kestrel::Valor v = kestrel::jsonParse(texto);
        benchmark::DoNotOptimize(v);
    }
    if (!kestrel::jsonErrors().isEmpty())
        estado.SkipWithError("el mensaje no se leyo limpio");
    estado.SetBytesProcessed(static_cast<std::int64_t>(estado.iterations() * caso(i).size()));
}

void BM_nlohmann(benchmark::State& estado, int i) {
    const std::string& texto = caso(i);
    for (auto _ : estado) {
        nlohmann::json v = nlohmann::json::parse(texto);
        benchmark::DoNotOptimize(v);
    }
    estado.SetBytesProcessed(static_cast<std::int64_t>(estado.iterations() * texto.size()));
}

void BM_jsonParseTamano(benchmark::State& estado) {
    const QString texto = QString::fromStdString(deTamano(static_cast<std::size_t>(estado.range(0)) << 20));
    for (auto _ : estado) {
        kestrel::Valor v = kestrel::jsonParse(texto);
        benchmark::DoNotOptimize(v);
    }
    estado.SetComplexityN(estado.range(0));
    estado.SetBytesProcessed(static_cast<std::int64_t>(estado.iterations()) * (estado.range(0) << 20));
}

const bool registrados = [] {
    for (int i = 0; i < 3; ++i) {
        benchmark::RegisterBenchmark((std::string("BM_jsonParse/") + nombresCaso[i]).c_str(), BM_jsonParse, i)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("BM_nlohmann/") + nombresCaso[i]).c_str(), BM_nlohmann, i)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace

BENCHMARK(BM_jsonParseTamano)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
