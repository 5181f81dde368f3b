#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "app/almacen_codigo.h"
#include "dialogos_prueba.h"
#include "json/volcado.h"
#include "tablas.h"

namespace kestrel {
namespace {

// Reading the code file, judging a typed code, and the store's questions and writes:
// tests/data/tablas/almacen_codigo.json.
TEST(AlmacenCodigo, Tablas) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("Acceso"));
    const QLocale esCO(QLocale::Spanish, QLocale::Colombia);
    prueba::comprobarTablas(
        QStringLiteral("almacen_codigo"),
        {{QStringLiteral("leerArchivo"),
          [&](const QJsonArray& a) {
              EXPECT_TRUE(prueba::escribirArchivo(ruta, a[0].toString().toUtf8()));
              return leerArchivo(ruta).join(u'\n');
          }},
         {QStringLiteral("codigoValido"),
          [&](const QJsonArray& a) {
              return QString::fromLatin1(codigoValido(a[0].toString(), esCO) ? "true" : "false");
          }},
         {QStringLiteral("escenario"), [&](const QJsonArray& a) {
              QTemporaryDir carpeta;
              const QString base = a[0].isBool() ? carpeta.filePath(QStringLiteral("no/existe")) : carpeta.path();
              EXPECT_TRUE(!a[0].isString() || prueba::escribirArchivo(carpeta.filePath(QStringLiteral("Acceso")),
                                                                      a[0].toString().toUtf8()));
              prueba::DialogosPrueba dialogos;
              for (const QJsonValue& r : a[2].toArray())
                  dialogos.respuestas.push_back(r.toString());
              AlmacenCodigo almacen(base, dialogos);
              QStringList salida;
              if (a[1].toString() == QLatin1String("leer")) {
                  salida << QStringLiteral("codigo ") + almacen.leerCodigoSucursal()
                         << QStringLiteral("modo ") + almacen.leerModoTecnico();
              } else {
                  salida << QStringLiteral("codigo ") + almacen.cambiarCodigo(esCO);
              }
              for (const auto& m : dialogos.mostrados)
                  salida << m.tipo + u' ' + m.titulo + QStringLiteral(": ") + escaparJson(m.texto);
              // The write replaces the file at once: nothing else is ever left in the folder.
              for (const QString& f : QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden)) {
                  QFile archivo(carpeta.filePath(f));
                  archivo.open(QIODevice::ReadOnly);
                  salida << (f == QLatin1String("Acceso") ? QStringLiteral("archivo ") : f + u' ') +
                                escaparJson(QString::fromUtf8(archivo.readAll()));
              }
              if (dialogos.agotado)
                  salida << QStringLiteral("preguntas de mas");
              return salida.join(u'\n').replace(carpeta.path(), QStringLiteral("CARPETA"));
          }}});
    EXPECT_EQ(leerArchivo(dir.filePath(QStringLiteral("no-existe"))), QStringList{QString()});
    EXPECT_EQ(leerArchivo(dir.path()), QStringList{QString()}) << "a folder cannot be read as a file";
    EXPECT_TRUE(codigoValido(QStringLiteral("11,234,567,890.5"), QLocale(QLocale::English, QLocale::UnitedStates)));
}

} // namespace
} // namespace kestrel
