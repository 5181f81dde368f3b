#include "dorados.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/vista_previa.h"
#include "json/json.h"
#include "json/volcado.h"
#include "print/seleccion.h"

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

QStringList listaDe(const Dictionary& prueba, const char* nombre) {
    return listaNombres(prueba.valorSinInsertar(QString::fromLatin1(nombre)).comoTexto());
}

QString conMarcas(QStringList lineas, const QString& carpeta) {
    const std::pair<QString, QString> marcas[] = {
        {QString::fromUtf8(KESTREL_PROVEEDOR_NIT), QStringLiteral("<KESTREL_PROVEEDOR_NIT>")},
        {QString::fromUtf8(KESTREL_PROVEEDOR_WEB), QStringLiteral("<KESTREL_PROVEEDOR_WEB>")},
    };
    for (QString& l : lineas) {
        l.replace(carpeta, QStringLiteral("<CARPETA>"));
        const qsizetype corchete = l.indexOf(QLatin1String("] "));
        for (const auto& [valor, marca] : marcas) {
            if (l.startsWith(QLatin1Char('[')) && corchete > 0 && l.mid(corchete + 2) == valor)
                l = l.left(corchete + 2) + marca;
        }
    }
    return lineas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

QString carpetaDatos(const QString& relativa) {
    const QByteArray datos = qgetenv("KESTREL_DATOS_PRUEBA");
    return QDir(datos.isEmpty() ? QStringLiteral(KESTREL_DATOS_FUENTE) : QString::fromLocal8Bit(datos))
        .filePath(relativa);
}

QString leerTexto(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
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

QString transcribirCaso(const QStringList& rutas, const QDateTime& ahora) {
    const auto pruebaDe = [](const QString& mensaje) {
        const Valor raiz = jsonParse(mensaje);
        return raiz.esObjeto() ? raiz.comoDictionary().valorSinInsertar(QStringLiteral("prueba")) : Valor();
    };
    QStringList mensajes;
    Dictionary primera;
    for (const QString& r : rutas) {
        mensajes << mensajeDeCaso(r);
        // The printers are set up once, as the first case that says anything about them asks.
        if (const Valor p = pruebaDe(mensajes.last()); p.esObjeto() && primera.count() == 0)
            primera = p.comoDictionary();
    }
    QTemporaryDir carpeta;
    OpcionesVistaPrevia o;
    if (const QStringList impresoras = listaDe(primera, "impresoras"); !impresoras.isEmpty())
        o.impresoras = impresoras;
    o.predeterminada = primera.valorSinInsertar(QStringLiteral("predeterminada")).comoTexto();
    o.averiadas = listaDe(primera, "averiadas");
    o.carpeta = carpeta.path();
    o.propinaCupon = primera.valorSinInsertar(QStringLiteral("propinaCupon")).comoNumero();
    o.reloj = [ahora] { return ahora; };

    QStringList lineas;
    VistaPrevia vista(o, [&lineas](CanalTranscripcion canal, const QString& linea) {
        if (canal != CanalTranscripcion::despachador)
            lineas << linea;
    });
    for (qsizetype i = 0; i < mensajes.size(); ++i) {
        const Valor p = pruebaDe(mensajes[i]);
        const QString logo =
            p.esObjeto() ? p.comoDictionary().valorSinInsertar(QStringLiteral("logo")).comoTexto() : QString();
        const QString destino = carpeta.filePath(QStringLiteral("logo.bmp"));
        QFile::remove(destino);
        if (!logo.isEmpty()) {
            const QString origen = QFileInfo(rutas[i]).dir().filePath(QStringLiteral("logos/") + logo);
            EXPECT_TRUE(QFile::copy(origen, destino)) << origen.toStdString();
        }
        lineas.clear();
        vista.procesarMensaje(mensajes[i]);
    }
    return conMarcas(lineas, carpeta.path());
}

void compararConDorado(const QString& rutaDorado, const QString& obtenido) {
    if (!qEnvironmentVariableIsEmpty("KESTREL_REESCRIBIR_DORADOS")) {
        QFile f(rutaDorado);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << rutaDorado.toStdString();
        f.write(obtenido.toUtf8());
        GTEST_SKIP() << "reescrito " << rutaDorado.toStdString();
    }
    EXPECT_EQ(obtenido.toStdString(), leerTexto(rutaDorado).toStdString());
}

std::vector<std::string> casosDe(const QString& relativa) {
    std::vector<std::string> casos;
    for (const QString& f : QDir(carpetaDatos(relativa)).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        casos.push_back((relativa + QLatin1Char('/') + f.chopped(5)).toStdString());
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
