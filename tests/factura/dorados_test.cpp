// Golden receipts and invoices: every tests/data/{receipts,facturas}/<case>.json message goes through the
// preview's path on text-view printers and its transcript is compared with <case>.txt. With
// KESTREL_REESCRIBIR_DORADOS=1 the goldens are rewritten instead; read every rewritten one against the ticket
// rules before committing it.

#include <gtest/gtest.h>

#include "dorados.h"

namespace kestrel::prueba {
namespace {

// Each folder's goldens were written at their own pinned moment.
QDateTime ahoraDe(const QString& caso) {
    return caso.startsWith(QLatin1String("receipts/")) ? QDateTime(QDate(2024, 1, 5), QTime(9, 7, 3))
                                                       : QDateTime(QDate(2024, 6, 1), QTime(13, 45, 10));
}

QString ruta(const QString& caso, const char* extension) {
    return carpetaDatos(caso + QLatin1Char('.') + QLatin1String(extension));
}

class Dorado : public testing::TestWithParam<std::string> {};

TEST_P(Dorado, ComoElGolden) {
    const QString caso = QString::fromStdString(GetParam());
    compararConDorado(ruta(caso, "txt"), transcribirCaso({ruta(caso, "json")}, ahoraDe(caso)));
}

INSTANTIATE_TEST_SUITE_P(Recibos, Dorado, testing::ValuesIn(casosDe(QStringLiteral("receipts"))), nombreDeCaso);
INSTANTIATE_TEST_SUITE_P(Facturas, Dorado, testing::ValuesIn(casosDe(QStringLiteral("facturas"))), nombreDeCaso);

// Messages one after the other on the same printers: a failed one leaves nothing for the next (which prints
// exactly its own golden), and what a document leaves on a printer (a probe's line, the font) is what the
// next one starts from.
TEST(DoradoTrasOtro, LoQueDejaElAnteriorEnLasImpresoras) {
    const struct {
        const char* previo;
        const char* caso;
        const char* dorado;
    } secuencias[] = {
        {"receipts/comanda-falla-a-medias", "receipts/comanda-80-sin-precios", "receipts/comanda-80-sin-precios"},
        {"receipts/anulacion-falla", "receipts/anulacion-80", "receipts/anulacion-80"},
        {"receipts/cajon-facturas-averiada", "receipts/comanda-80-sin-precios",
         "receipts/secuencias/comanda-tras-cajon-averiado"},
        {"facturas/pedido-no-lista", "facturas/cotizacion", "facturas/cotizacion"},
        {"facturas/impuestos-ausente", "facturas/cotizacion", "facturas/cotizacion"},
        {"facturas/logo-ilegible", "facturas/cotizacion", "facturas/cotizacion"},
        {"facturas/fallo-tras-cliente", "facturas/cotizacion", "facturas/cotizacion"},
        {"facturas/pedido-no-lista", "facturas/cerrada-pagos-cambio", "facturas/cerrada-pagos-cambio"},
        // The logo's empty lines follow the font the previous invoice left: size 7 after a 58 mm one.
        {"facturas/rollo58-regimen-comun", "facturas/logo-pequeno", "facturas/secuencias/logo-tras-rollo58"},
    };
    for (const auto& s : secuencias) {
        SCOPED_TRACE(std::string(s.previo) + " -> " + s.caso);
        const QString caso = QString::fromUtf8(s.caso);
        compararConDorado(
            ruta(QString::fromUtf8(s.dorado), "txt"),
            transcribirCaso({ruta(QString::fromUtf8(s.previo), "json"), ruta(caso, "json")}, ahoraDe(caso)));
    }
}

} // namespace
} // namespace kestrel::prueba
