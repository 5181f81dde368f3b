#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/configuracion_agente.h"
#include "app/opciones_agente.h"
#include "tablas.h"

namespace kestrel {
namespace {

// The service's address and the values refused: tests/data/tablas/opciones_agente.json.
/// The options of a row, read as the agent reads its command line; nothing when they are refused.
std::optional<OpcionesAgente> leer(const QJsonArray& a) {
    QStringList args;
    for (const QJsonValue& v : a[0].toArray())
        args << v.toString();
    const ResultadoOpciones r = analizarOpciones(args);
    return r.error.isEmpty() ? std::optional(r.opciones) : std::nullopt;
}

QString salud(const QJsonArray& a) {
    const auto o = leer(a);
    if (!o)
        return QStringLiteral("error");
    const OpcionesSalud& s = o->salud;
    return QString::number(s.sondeoImpresoras) + u'\n' +
           (s.metricas ? s.direccion.toString() + u':' + QString::number(s.puerto) : QString());
}

TEST(OpcionesAgente, Tablas) {
    prueba::comprobarTablas(QStringLiteral("opciones_agente"),
                            {{QStringLiteral("salud"), salud}, {QStringLiteral("analizar"), [](const QJsonArray& a) {
                                                                    QStringList args;
                                                                    for (const QJsonValue& v : a[0].toArray())
                                                                        args << v.toString();
                                                                    const ResultadoOpciones r = analizarOpciones(args);
                                                                    if (!r.error.isEmpty())
                                                                        return QStringLiteral("error");
                                                                    return r.opciones.enlace.servidor + u'\n' +
                                                                           QString::number(r.opciones.enlace.puerto);
                                                                }}});
}

TEST(OpcionesAgente, LasOpcionesDeImpresionPasanTalCual) {
    const ResultadoOpciones r =
        analizarOpciones({"--impresoras-virtuales", "Caja, Cocina ,Bar", "--salida", "/tmp/pdf", "--propina-cupon",
                          "1500.50", "--codificacion", "windows-1252", "--carpeta", "/srv/kestrel"});
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.opciones.impresion.impresorasVirtuales, (QStringList{"Caja", "Cocina", "Bar"}));
    EXPECT_EQ(r.opciones.impresion.salida, QStringLiteral("/tmp/pdf"));
    EXPECT_EQ(r.opciones.impresion.propinaCupon.aTexto(), QStringLiteral("1500.5"));
    EXPECT_EQ(r.opciones.enlace.codificacion, QStringLiteral("windows-1252"));
    EXPECT_EQ(r.opciones.carpeta, QStringLiteral("/srv/kestrel"));
}

// ESC/POS printers come from a settings file as a list and from the command line one by one; a printer named
// again (as the printers are compared) replaces the earlier one.
TEST(OpcionesAgente, ImpresorasEscposDelArchivoYDeLaLineaDeOrdenes) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("agente.conf"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("[agente]\nescpos=Cocina=tcp://10.0.0.5:9100, Bar=dispositivo:/dev/usb/lp0?ancho=58\n");
    archivo.close();
    OpcionesAgente base;
    ASSERT_EQ(aplicarArchivoConfiguracion(ruta, base), QString());
    const ResultadoOpciones r =
        analizarOpciones({"--escpos", "cocina=cups:cocina-cruda", "--escpos", "Caja=tcp://caja"}, base);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    QStringList leidas;
    for (const DestinoEscpos& d : r.opciones.impresion.escpos)
        leidas << QStringLiteral("%1 %2 %3").arg(d.nombre, d.direccion()).arg(d.puntosAncho);
    EXPECT_EQ(leidas, (QStringList{"Bar dispositivo:/dev/usb/lp0 384", "cocina cups:cocina-cruda 576",
                                   "Caja tcp://caja:9100 576"}));
    EXPECT_FALSE(analizarOpciones({"--escpos", "Cocina=lpt1"}).error.isEmpty());
}

TEST(OpcionesAgente, CarpetaDeLaAplicacion) {
    QTemporaryDir base;
    const QString ejecutable = base.filePath(QStringLiteral("bin"));
    const QString usuario = base.filePath(QStringLiteral("usuario/datos"));
    QDir().mkpath(ejecutable);
    QString error;
    // An explicit folder wins and is created when missing.
    const QString pedida = base.filePath(QStringLiteral("nueva/carpeta"));
    EXPECT_EQ(resolverCarpetaAplicacion(pedida, ejecutable, usuario, &error), pedida);
    EXPECT_TRUE(QDir(pedida).exists());
    // Otherwise the executable's folder, when it can hold "Acceso".
    EXPECT_EQ(resolverCarpetaAplicacion({}, ejecutable, usuario, &error), ejecutable);
    // A folder that does not exist (or cannot be written) sends the files to the user's data folder.
    EXPECT_EQ(resolverCarpetaAplicacion({}, base.filePath(QStringLiteral("no-existe")), usuario, &error), usuario);
    EXPECT_TRUE(QDir(usuario).exists());
    // A folder that cannot be made is an error with its reason.
    ASSERT_TRUE(prueba::escribirArchivo(base.filePath(QStringLiteral("archivo"))));
    EXPECT_TRUE(resolverCarpetaAplicacion(base.filePath(QStringLiteral("archivo/dentro")), ejecutable, usuario, &error)
                    .isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace kestrel
