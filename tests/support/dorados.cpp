#include "dorados.h"

#include <QDir>
#include <QFile>

#include "json/json.h"
#include "json/volcado.h"

namespace kestrel::prueba {

namespace {

QString nombreDe(const Valor& item) {
    return item.esObjeto() ? item.comoDictionary().valorSinInsertar(QStringLiteral("Nombre")).comoTexto() : QString();
}

/// The base configuration with a case's changes, as one line of JSON.
QString configuracionCompleta(const QString& carpeta, const Valor& cambios) {
    Valor base = jsonParse(leerTexto(QDir(carpeta).filePath(QStringLiteral("base/config.json"))));
    EXPECT_TRUE(jsonErrors().isEmpty()) << jsonErrors().toStdString();
    QList<Valor> cambia;
    QStringList quita;
    if (cambios.esObjeto()) {
        const Dictionary& c = cambios.comoDictionary();
        const Valor lista = c.valorSinInsertar(QStringLiteral("cambia"));
        if (lista.esLista())
            cambia = lista.comoCollection().valores();
        const Valor nombres = c.valorSinInsertar(QStringLiteral("quita"));
        for (const Valor& n : nombres.esLista() ? nombres.comoCollection().valores() : QList<Valor>())
            quita << n.comoTexto();
    }
    auto resultado = std::make_shared<Collection>();
    for (const Valor& item : base.comoCollection().valores()) {
        const QString nombre = nombreDe(item);
        if (quita.removeOne(nombre))
            continue;
        const auto cambio =
            std::find_if(cambia.begin(), cambia.end(), [&](const Valor& v) { return nombreDe(v) == nombre; });
        if (cambio == cambia.end()) {
            resultado->add(item);
        } else {
            resultado->add(*cambio);
            cambia.erase(cambio);
        }
    }
    for (const Valor& v : cambia)
        resultado->add(v);
    return volcarValor(Valor(resultado));
}

} // namespace

QString leerTexto(const QString& ruta) {
    return QString::fromUtf8(leerArchivo(ruta));
}

QString mensajeDeCaso(const QString& rutaJson) {
    QString texto = leerTexto(rutaJson);
    const Valor raiz = jsonParse(texto);
    const QString carpeta = QFileInfo(rutaJson).path();
    if (!jsonErrors().isEmpty() || !raiz.esObjeto() || !QFile::exists(carpeta + QStringLiteral("/base/config.json")))
        return texto;
    const Valor config = raiz.comoDictionary().valorSinInsertar(QStringLiteral("config"));
    if (!config.esVacio() && !config.esObjeto())
        return texto;
    const QString completa = configuracionCompleta(carpeta, config);
    if (config.esVacio())
        return texto.insert(texto.indexOf(QLatin1Char('{')) + 1, QStringLiteral("\"config\":%1,").arg(completa));
    // Only the configuration's text is replaced: every other value reaches the reader as the case wrote it.
    qsizetype posicion = texto.indexOf(QLatin1String("\"config\"")) + 1;
    jsonReadKey(texto, posicion);
    jsonSkip(texto, posicion);
    const qsizetype desde = posicion;
    EstadoJson estado;
    jsonReadValue(texto, posicion, estado);
    return texto.replace(desde - 1, posicion - desde, completa);
}

void compararConDorado(const QString& rutaDorado, const QString& obtenido) {
    if (!qEnvironmentVariableIsEmpty("KESTREL_REESCRIBIR_DORADOS")) {
        ASSERT_TRUE(escribirArchivo(rutaDorado, obtenido.toUtf8())) << rutaDorado.toStdString();
        GTEST_SKIP() << "reescrito " << rutaDorado.toStdString();
    }
    EXPECT_EQ(obtenido.toStdString(), leerTexto(rutaDorado).toStdString());
}

std::vector<std::string> casosDe(const QString& relativa, const QString& extension) {
    std::vector<std::string> casos;
    for (const QString& f : QDir(carpetaDatos(relativa)).entryList({"*." + extension}, QDir::Files, QDir::Name))
        casos.push_back((relativa + u'/' + f.chopped(extension.size() + 1)).toStdString());
    return casos;
}

std::string nombreDeCaso(const testing::TestParamInfo<std::string>& info) {
    std::string n = info.param;
    for (char& c : n) {
        if (c == '-' || c == '/')
            c = '_';
    }
    return n;
}

} // namespace kestrel::prueba
