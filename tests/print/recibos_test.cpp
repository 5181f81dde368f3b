// Golden receipts: every tests/data/receipts/<caso>.json message for kitchen orders, cancellations and the
// drawer is printed on text-view printers and compared with <caso>.txt, the annotated documents followed by
// what else the user would have seen, in order. KESTREL_REESCRIBIR_RECIBOS=1 rewrites the goldens instead;
// read every rewritten one against the ticket rules before committing it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "banco.h"
#include "dorados.h"
#include "json/fallo.h"
#include "json/json.h"
#include "print/comanda.h"

namespace kestrel::prueba {
namespace {

QString carpetaRecibos() {
    const QByteArray datos = qgetenv("KESTREL_DATOS_PRUEBA");
    // Test discovery runs without the test environment, so the source folder is the fallback.
    return QDir(datos.isEmpty() ? QStringLiteral(KESTREL_DATOS_FUENTE) : QString::fromLocal8Bit(datos))
        .filePath(QStringLiteral("receipts"));
}

std::vector<std::string> casos() {
    std::vector<std::string> nombres;
    const QStringList filtros{QStringLiteral("comanda-*.json"), QStringLiteral("anulacion-*.json"),
                              QStringLiteral("cajon*.json")};
    for (const QString& f : QDir(carpetaRecibos()).entryList(filtros, QDir::Files, QDir::Name))
        nombres.push_back(f.chopped(5).toStdString());
    return nombres;
}

/// Everything the message produced, in the order it happened: documents as they ended, balloons, drawer
/// pulses and a failure that reached the caller.
class Transcripcion : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override {
        QString texto = mensaje;
        texto.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
        lineas
            << QStringLiteral("~ globo %1 %2 \"%3\": %4").arg(nombreIconoGlobo(icono)).arg(tiempoMs).arg(titulo, texto);
    }
    void registrar(const QString& entrada) override { lineas << QStringLiteral("~ registro ") + entrada; }

    QStringList lineas;
};

QStringList listaNombres(const Valor& v, const QString& omision) {
    const QString texto = v.esVacio() ? omision : v.comoTexto();
    QStringList nombres;
    for (const QString& n : texto.split(QLatin1Char(','), Qt::SkipEmptyParts))
        nombres << n.trimmed();
    return nombres;
}

/// Prints one message the way the dispatcher hands it to the documents. The optional member "prueba" sets
/// up the printers: "impresoras" (default Facturas,Cocina,Bar), "predeterminada" (default the first) and
/// "averiadas".
QString imprimirCaso(const QString& mensaje) {
    Valor raiz = jsonParse(mensaje);
    if (!jsonErrors().isEmpty())
        return QStringLiteral("JSON no valido: ") + jsonErrors();
    Dictionary& sobre = raiz.comoDictionary();
    const Valor prueba = sobre.valorSinInsertar(QStringLiteral("prueba"));
    const Dictionary vacio;
    const Dictionary& p = prueba.esObjeto() ? prueba.comoDictionary() : vacio;
    const QStringList impresoras =
        listaNombres(p.valorSinInsertar(QStringLiteral("impresoras")), QStringLiteral("Facturas,Cocina,Bar"));
    const Valor predeterminada = p.valorSinInsertar(QStringLiteral("predeterminada"));

    Transcripcion t;
    SistemaVistaTexto sistema(impresoras, predeterminada.esVacio() ? impresoras.value(0) : predeterminada.comoTexto());
    for (const QString& n : listaNombres(p.valorSinInsertar(QStringLiteral("averiadas")), QString()))
        sistema.fijarAveriada(n);
    sistema.fijarAlTerminar([&t](const DocumentoVista& d) {
        t.lineas << QStringLiteral("=== %1 ===").arg(d.impresora);
        t.lineas << d.texto(true);
    });
    sistema.fijarAlEscribirCrudo([&t](const EscrituraCruda& e) {
        t.lineas
            << QStringLiteral("~ crudo %1: %2").arg(e.impresora, QString::fromLatin1(e.datos.toHex(' ').toUpper()));
    });
    ContextoImpresion ctx(sistema, t, QString());
    ctx.reloj = [] { return QDateTime(QDate(2024, 1, 5), QTime(9, 7, 3)); };
    ctx.configuracion = sobre.item(QStringLiteral("config"));

    const QString tipo = sobre.item(QStringLiteral("tipo")).comoTexto();
    try {
        if (tipo == QLatin1String("comanda"))
            imprimirComanda(ctx, sobre.item(QStringLiteral("dato")).comoCollection());
        else if (tipo == QLatin1String("anulacion"))
            imprimirAnulacion(ctx, sobre.item(QStringLiteral("dato")).comoCollection());
        else if (tipo == QLatin1String("cajon"))
            abrirCajon(ctx);
    } catch (const FalloPlataforma& f) {
        t.lineas << QStringLiteral("~ fallo %1: %2").arg(f.numero()).arg(f.descripcion());
    }
    // Whatever is still open on a printer would be printed with its next document.
    for (const QString& n : impresoras) {
        if (!sistema.impresora(n)->documentoAbierto().isEmpty())
            t.lineas << QStringLiteral("~ abierto en ") + n;
    }
    return t.lineas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

class Recibo : public testing::TestWithParam<std::string> {};

TEST_P(Recibo, ComoElGolden) {
    const QDir carpeta(carpetaRecibos());
    const QString caso = QString::fromStdString(GetParam());
    const QString obtenido = imprimirCaso(leerTexto(carpeta.filePath(caso + QStringLiteral(".json"))));
    compararConDorado(carpeta.filePath(caso + QStringLiteral(".txt")), obtenido, "KESTREL_REESCRIBIR_RECIBOS");
}

INSTANTIATE_TEST_SUITE_P(Casos, Recibo, testing::ValuesIn(casos()), nombreDeCaso);

} // namespace
} // namespace kestrel::prueba
