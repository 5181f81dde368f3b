// Golden receipts and invoices: every tests/data/{receipts,facturas}/<case>.json message goes through the
// preview's path (VistaPrevia) on text-view printers and its transcript is compared with <case>.txt. With
// KESTREL_REESCRIBIR_DORADOS=1 the goldens are rewritten instead; read every rewritten one against the ticket
// rules before committing it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "app/vista_previa.h"
#include "dorados.h"
#include "json/json.h"
#include "print/seleccion.h"

namespace kestrel::prueba {
namespace {

Dictionary pruebaDe(const QString& mensaje) {
    const Valor raiz = jsonParse(mensaje);
    const Valor p = raiz.esObjeto() ? raiz.comoDictionary().valorSinInsertar(QStringLiteral("prueba")) : Valor();
    return p.esObjeto() ? p.comoDictionary() : Dictionary();
}

/// The build's vendor lines as <KESTREL_PROVEEDOR_NIT> and <KESTREL_PROVEEDOR_WEB> and the case's application
/// folder as <CARPETA>, so the goldens hold whatever a build sets them to.
QString conMarcas(QStringList lineas, const QString& carpeta) {
    const std::pair<QString, QString> marcas[] = {
        {QString::fromUtf8(KESTREL_PROVEEDOR_NIT), QStringLiteral("<KESTREL_PROVEEDOR_NIT>")},
        {QString::fromUtf8(KESTREL_PROVEEDOR_WEB), QStringLiteral("<KESTREL_PROVEEDOR_WEB>")},
    };
    for (QString& l : lineas) {
        l.replace(carpeta, QStringLiteral("<CARPETA>"));
        const qsizetype corchete = l.indexOf(QLatin1String("] "));
        for (const auto& [valor, marca] : marcas) {
            if (l.startsWith(u'[') && corchete > 0 && l.mid(corchete + 2) == valor)
                l = l.left(corchete + 2) + marca;
        }
    }
    return lineas.join(u'\n') + u'\n';
}

/// The transcript of the last of some cases sent one after the other. A case's optional "prueba" member sets
/// up the printers with the preview's options: "impresoras", "predeterminada", "averiadas" (comma lists),
/// "propinaCupon" (the first case with a "prueba" member decides) and "logo" (a picture under
/// <folder>/logos, copied as logo.bmp for that case alone).
QString transcribir(const QStringList& casos) {
    const QDateTime ahora = casos.last().startsWith(QLatin1String("receipts/"))
                                ? QDateTime(QDate(2024, 1, 5), QTime(9, 7, 3))
                                : QDateTime(QDate(2024, 6, 1), QTime(13, 45, 10));
    QStringList mensajes;
    Dictionary primera;
    for (const QString& c : casos) {
        mensajes << mensajeDeCaso(carpetaDatos(c + ".json"));
        if (primera.count() == 0)
            primera = pruebaDe(mensajes.last());
    }
    const auto opcion = [&primera](const char* nombre) {
        return primera.valorSinInsertar(QString::fromLatin1(nombre));
    };
    QTemporaryDir carpeta;
    OpcionesVistaPrevia o;
    if (const QStringList impresoras = listaNombres(opcion("impresoras").comoTexto()); !impresoras.isEmpty())
        o.impresoras = impresoras;
    o.predeterminada = opcion("predeterminada").comoTexto();
    o.averiadas = listaNombres(opcion("averiadas").comoTexto());
    o.carpeta = carpeta.path();
    o.propinaCupon = opcion("propinaCupon").comoNumero();
    o.reloj = [ahora] { return ahora; };

    QStringList lineas;
    VistaPrevia vista(o, [&lineas](CanalTranscripcion canal, const QString& linea) {
        if (canal != CanalTranscripcion::despachador)
            lineas << linea;
    });
    const QString destino = carpeta.filePath(QStringLiteral("logo.bmp"));
    for (qsizetype i = 0; i < mensajes.size(); ++i) {
        QFile::remove(destino);
        if (const QString logo = pruebaDe(mensajes[i]).valorSinInsertar(QStringLiteral("logo")).comoTexto();
            !logo.isEmpty()) {
            const QString origen = carpetaDatos(casos[i].section(u'/', 0, -2) + "/logos/" + logo);
            EXPECT_TRUE(QFile::copy(origen, destino)) << origen.toStdString();
        }
        lineas.clear();
        vista.procesarMensaje(mensajes[i]);
    }
    return conMarcas(lineas, carpeta.path());
}

class Dorado : public testing::TestWithParam<std::string> {};

TEST_P(Dorado, ComoElGolden) {
    const QString caso = QString::fromStdString(GetParam());
    compararConDorado(carpetaDatos(caso + ".txt"), transcribir({caso}));
}

INSTANTIATE_TEST_SUITE_P(Recibos, Dorado, testing::ValuesIn(casosDe(QStringLiteral("receipts"))), nombreDeCaso);
INSTANTIATE_TEST_SUITE_P(Facturas, Dorado, testing::ValuesIn(casosDe(QStringLiteral("facturas"))), nombreDeCaso);

// tests/data/secuencias.json: what one message leaves on the printers for the next.
TEST(DoradoTrasOtro, LoQueDejaElAnteriorEnLasImpresoras) {
    const QJsonArray secuencias = QJsonDocument::fromJson(leerTexto(carpetaDatos("secuencias.json")).toUtf8()).array();
    ASSERT_FALSE(secuencias.isEmpty());
    for (const QJsonValue& s : secuencias) {
        const QJsonArray a = s.toArray();
        if (a.isEmpty())
            continue;
        SCOPED_TRACE((a[0].toString() + " -> " + a[1].toString()).toStdString());
        compararConDorado(carpetaDatos(a[2].toString() + ".txt"), transcribir({a[0].toString(), a[1].toString()}));
    }
}

} // namespace
} // namespace kestrel::prueba
