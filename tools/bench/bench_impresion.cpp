// Rendering a kitchen order to the text view: the layout cost of a ticket without any device behind it.

#include <benchmark/benchmark.h>

#include <memory>

#include "json/decimal.h"
#include "json/valor.h"
#include "print/avisos.h"
#include "print/comanda.h"
#include "print/contexto.h"
#include "print/vista_texto.h"

namespace {

using namespace kestrel;

class AvisosMudos : public Avisos {
public:
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

Valor texto(const QString& t) {
    return Valor(t);
}

Valor ajuste(const QString& nombre, const QString& descripcion) {
    auto d = std::make_shared<Dictionary>();
    d->add(QStringLiteral("Nombre"), texto(nombre));
    d->add(QStringLiteral("Descripcion"), texto(descripcion));
    d->add(QStringLiteral("Visible"), texto(QStringLiteral("1")));
    return Valor(d);
}

/// A busy table: 20 products with notes, prices shown, customer and platform blocks.
std::shared_ptr<Collection> comandaDeVeinte() {
    auto productos = std::make_shared<Collection>();
    for (int i = 1; i <= 20; ++i) {
        auto p = std::make_shared<Dictionary>();
        p->add(QStringLiteral("nombre"), texto(QStringLiteral("Hamburguesa doble de la casa numero %1").arg(i)));
        p->add(QStringLiteral("cantidad"), Valor(Decimal(i % 3 + 1)));
        p->add(QStringLiteral("valor"), Valor(Decimal(18500LL * (i % 3 + 1))));
        auto detalle = std::make_shared<Collection>();
        detalle->add(texto(QStringLiteral("sin cebolla")));
        if (i % 2 == 0)
            detalle->add(texto(QStringLiteral("termino medio, papas en casco aparte")));
        p->add(QStringLiteral("detalle"), Valor(detalle));
        productos->add(Valor(p));
    }
    auto c = std::make_shared<Dictionary>();
    c->add(QStringLiteral("area"), texto(QStringLiteral("Cocina")));
    c->add(QStringLiteral("titulo"), texto(QStringLiteral("Pedido a domicilio")));
    c->add(QStringLiteral("nomMesa"), texto(QStringLiteral("Mesa 12")));
    c->add(QStringLiteral("productos"), Valor(productos));
    c->add(QStringLiteral("responsable"), texto(QStringLiteral("Ana Maria")));
    c->add(QStringLiteral("nPedido"), Valor(Decimal(4711)));
    c->add(QStringLiteral("fecha"), texto(QStringLiteral("2024-01-05 09:07:03")));
    c->add(QStringLiteral("clienteNombre"), texto(QStringLiteral("Carlos Perez")));
    c->add(QStringLiteral("clienteTelefono"), texto(QStringLiteral("300 555 0101")));
    c->add(QStringLiteral("clienteDireccion"), texto(QStringLiteral("Calle 45 # 12-30 apartamento 501")));
    c->add(QStringLiteral("codPlataforma"), texto(QStringLiteral("RAPPI-99812")));
    auto comandas = std::make_shared<Collection>();
    comandas->add(Valor(c));
    return comandas;
}

void BM_ComandaVistaTexto(benchmark::State& estado) {
    SistemaVistaTexto sistema({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, QStringLiteral("Facturas"));
    AvisosMudos avisos;
    ContextoImpresion ctx(sistema, avisos, QString());
    auto config = std::make_shared<Collection>();
    config->add(ajuste(QStringLiteral("Valores En Comanda"), QStringLiteral("1")));
    ctx.configuracion = Valor(config);
    const auto comandas = comandaDeVeinte();
    // A ticket that silently fails would make the loop look fast.
    imprimirComanda(ctx, *comandas);
    if (sistema.documentos().size() != 1 || sistema.documentos()[0].lineas.size() < 60) {
        estado.SkipWithError("la comanda no se imprimio entera");
        return;
    }
    sistema.olvidarDocumentos();
    for (auto _ : estado) {
        imprimirComanda(ctx, *comandas);
        benchmark::DoNotOptimize(sistema.documentos().size());
        sistema.olvidarDocumentos();
    }
    estado.SetItemsProcessed(estado.iterations());
    estado.SetLabel("documentos");
}
BENCHMARK(BM_ComandaVistaTexto)->Unit(benchmark::kMicrosecond);

} // namespace
