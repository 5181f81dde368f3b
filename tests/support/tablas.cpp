#include "tablas.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QThread>

#include "json/fallo.h"

namespace kestrel::prueba {

namespace {

QString comoTexto(const QJsonValue& v) {
    if (!v.isArray())
        return v.toVariant().toString();
    QStringList lineas;
    for (const QJsonValue& l : v.toArray())
        lineas << l.toString();
    return lineas.join(u'\n');
}

} // namespace

void comprobarTablas(const QString& tema, const QMap<QString, FuncionTabla>& funciones) {
    const QString ruta = carpetaDatos(QStringLiteral("tablas/") + tema + ".json");
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly)) << ruta.toStdString();
    QJsonParseError error;
    const QJsonObject tablas = QJsonDocument::fromJson(archivo.readAll(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << ruta.toStdString() << ": " << error.errorString().toStdString();
    QSet<QString> usadas;
    for (auto tabla = tablas.begin(); tabla != tablas.end(); ++tabla) {
        const QString funcion = tabla.key().section(u'/', 0, 0);
        usadas << funcion;
        ASSERT_TRUE(funciones.contains(funcion)) << tabla.key().toStdString();
        for (const QJsonValue& fila : tabla.value().toArray()) {
            if (fila.isString())
                continue;
            QJsonArray argumentos = fila.toArray();
            const QString esperado = comoTexto(argumentos.takeAt(argumentos.size() - 1));
            SCOPED_TRACE(tabla.key().toStdString() + " " +
                         QJsonDocument(argumentos).toJson(QJsonDocument::Compact).toStdString());
            EXPECT_EQ(funciones.value(funcion)(argumentos).toStdString(), esperado.toStdString());
        }
    }
    for (const QString& f : funciones.keys())
        EXPECT_TRUE(usadas.contains(f)) << "sin tabla: " << f.toStdString();
}

QString carpetaDatos(const QString& relativa) {
    return QDir(qEnvironmentVariable("KESTREL_DATOS_PRUEBA")).filePath(relativa);
}

bool esperarHasta(const std::function<bool()>& condicion, int ms) {
    QDeadlineTimer plazo(ms);
    while (!condicion()) {
        if (plazo.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

bool escribirArchivo(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(contenido) == contenido.size();
}

QByteArray leerArchivo(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString falloO(const std::function<QString()>& llamada, bool conDescripcion) {
    try {
        return llamada();
    } catch (const FalloPlataforma& f) {
        return QStringLiteral("fallo %1").arg(f.numero()) + (conDescripcion ? ": " + f.descripcion() : QString());
    }
}

} // namespace kestrel::prueba
