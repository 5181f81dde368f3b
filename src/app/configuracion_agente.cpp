#include "app/configuracion_agente.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "plataforma/plataforma.h"

namespace kestrel {

namespace {

const QString relativa = QStringLiteral("kestrel/kestrel-agente.conf");
const QString seccion = QStringLiteral("agente");

/// QSettings hands a value with commas back as a list; the options read the text as it was written.
QString textoDe(const QVariant& valor) {
    if (valor.typeId() == QMetaType::QStringList)
        return valor.toStringList().join(QLatin1Char(','));
    return valor.toString();
}

/// --config ARCHIVO taken out of the arguments; empty when not given.
QString extraerArchivoPedido(QStringList& argumentos, QString& error) {
    const qsizetype i = argumentos.indexOf(QStringLiteral("--config"));
    if (i < 0)
        return {};
    if (i + 1 >= argumentos.size()) {
        error = QStringLiteral("falta el valor de --config");
        return {};
    }
    const QString archivo = argumentos.at(i + 1);
    argumentos.remove(i, 2);
    return archivo;
}

} // namespace

QStringList archivosConfiguracion(const QString& archivoPedido) {
    if (!archivoPedido.isEmpty())
        return {archivoPedido};
    QStringList archivos;
    for (const QString& carpeta : carpetasConfiguracion())
        archivos << QDir(carpeta).filePath(relativa);
    return archivos;
}

QString aplicarArchivoConfiguracion(const QString& ruta, OpcionesAgente& opciones) {
    const QFileInfo info(ruta);
    if (!info.exists())
        return {};
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("%1: no se puede leer").arg(ruta);
    QSettings archivo(ruta, QSettings::IniFormat);
    if (archivo.status() != QSettings::NoError)
        return QStringLiteral("%1: no es un archivo de configuración válido (formato INI)").arg(ruta);
    for (const QString& clave : archivo.allKeys()) {
        const qsizetype barra = clave.indexOf(QLatin1Char('/'));
        const QString grupo = barra < 0 ? QString() : clave.left(barra);
        const QString nombre = clave.mid(barra + 1);
        if (grupo != seccion)
            return QStringLiteral("%1: la clave \"%2\" está fuera de la sección [agente]").arg(ruta, nombre);
        if (!nombresOpcionesAgente().contains(nombre))
            return QStringLiteral("%1: clave desconocida \"%2\" en [agente]").arg(ruta, nombre);
        const QString problema = aplicarOpcionAgente(opciones, nombre, textoDe(archivo.value(clave)));
        if (!problema.isEmpty())
            return QStringLiteral("%1: clave \"%2\": %3").arg(ruta, nombre, problema);
    }
    return {};
}

ResultadoOpciones leerOpcionesAgente(const QStringList& argumentos) {
    ResultadoOpciones r;
    QStringList resto = argumentos;
    const QString pedido = extraerArchivoPedido(resto, r.error);
    if (!r.error.isEmpty())
        return r;
    if (!pedido.isEmpty() && !QFileInfo(pedido).isFile()) {
        r.error = QStringLiteral("%1: no existe el archivo de configuración").arg(pedido);
        return r;
    }
    for (const QString& archivo : archivosConfiguracion(pedido)) {
        r.error = aplicarArchivoConfiguracion(archivo, r.opciones);
        if (!r.error.isEmpty())
            return r;
    }
    ResultadoOpciones linea = analizarOpciones(resto, r.opciones);
    return linea;
}

} // namespace kestrel
