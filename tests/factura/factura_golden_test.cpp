// Golden invoices: every tests/data/facturas/<caso>.json message is printed with imprimirFactura on text-view
// printers and compared with <caso>.txt: the annotated documents followed by what else happened, in order.
// KESTREL_REESCRIBIR_FACTURAS=1 rewrites the goldens instead; read every rewritten one against the invoice
// rules before committing it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "json/json.h"
#include "dorados.h"
#include "mesa_factura.h"

namespace kestrel::prueba {
namespace {

std::vector<std::string> casos() {
    std::vector<std::string> nombres;
    for (const QString& f : QDir(carpetaFacturas()).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        nombres.push_back(f.chopped(5).toStdString());
    return nombres;
}

class Factura : public testing::TestWithParam<std::string> {};

TEST_P(Factura, ComoElGolden) {
    const QDir carpeta(carpetaFacturas());
    const QString caso = QString::fromStdString(GetParam());
    const QString mensaje = leerTexto(carpeta.filePath(caso + QStringLiteral(".json")));
    Valor raiz = jsonParse(mensaje);
    ASSERT_TRUE(jsonErrors().isEmpty()) << jsonErrors().toStdString();
    MesaFactura mesa(raiz.comoDictionary().valorSinInsertar(QStringLiteral("prueba")));
    const QString obtenido = conMarcasProveedor(mesa.imprimirMensaje(mensaje));

    compararConDorado(carpeta.filePath(caso + QStringLiteral(".txt")), obtenido, "KESTREL_REESCRIBIR_FACTURAS");
}

INSTANTIATE_TEST_SUITE_P(Casos, Factura, testing::ValuesIn(casos()), nombreDeCaso);

} // namespace
} // namespace kestrel::prueba
