#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/opciones_agente.h"

namespace kestrel {
namespace {

TEST(OpcionesAgente, SinOpcionesSeUsaElServicioLocalEnElPuerto3000) {
    const ResultadoOpciones r = analizarOpciones({});
    ASSERT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.opciones.servidor, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(r.opciones.puerto, 3000);
    EXPECT_TRUE(r.opciones.carpeta.isEmpty());
    EXPECT_TRUE(r.opciones.codificacion.isEmpty());
}

TEST(OpcionesAgente, Servidor) {
    struct Caso {
        const char* valor;
        const char* host;
        int puerto;
    };
    const Caso casos[] = {
        {"10.1.2.3", "10.1.2.3", 3000}, {"impresion.local:4000", "impresion.local", 4000},
        {"[::1]:3100", "::1", 3100},    {"[::1]", "::1", 3000},
        {"fe80::1", "fe80::1", 3000},   {"localhost:65535", "localhost", 65535},
    };
    for (const Caso& c : casos) {
        const ResultadoOpciones r = analizarOpciones({"--servidor", c.valor});
        ASSERT_TRUE(r.error.isEmpty()) << c.valor << ": " << r.error.toStdString();
        EXPECT_EQ(r.opciones.servidor, QString::fromLatin1(c.host)) << c.valor;
        EXPECT_EQ(r.opciones.puerto, c.puerto) << c.valor;
    }
}

TEST(OpcionesAgente, ValoresNoValidosSeRechazanConSuMotivo) {
    const QStringList malos[] = {
        {"--servidor", "host:0"},
        {"--servidor", "host:70000"},
        {"--servidor", "host:abc"},
        {"--servidor", ":3000"},
        {"--servidor", "[::1"},
        {"--servidor"},
        {"--codificacion", "no-existe-esta"},
        {"--propina-cupon", "mil"},
        {"--propina-cupon", "-5"},
        {"--impresoras-virtuales", " , "},
        {"--carpeta", ""},
        {"--desconocida", "x"},
    };
    for (const QStringList& args : malos) {
        const ResultadoOpciones r = analizarOpciones(args);
        EXPECT_FALSE(r.error.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST(OpcionesAgente, LasOpcionesDeImpresionPasanTalCual) {
    const ResultadoOpciones r =
        analizarOpciones({"--impresoras-virtuales", "Caja, Cocina ,Bar", "--salida", "/tmp/pdf", "--propina-cupon",
                          "1500.50", "--codificacion", "windows-1252", "--carpeta", "/srv/kestrel"});
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.opciones.impresion.impresorasVirtuales, (QStringList{"Caja", "Cocina", "Bar"}));
    EXPECT_EQ(r.opciones.impresion.salida, QStringLiteral("/tmp/pdf"));
    EXPECT_EQ(r.opciones.impresion.propinaCupon.aTexto(), QStringLiteral("1500.5"));
    EXPECT_EQ(r.opciones.codificacion, QStringLiteral("windows-1252"));
    EXPECT_EQ(r.opciones.carpeta, QStringLiteral("/srv/kestrel"));
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
    QFile archivo(base.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    EXPECT_TRUE(resolverCarpetaAplicacion(base.filePath(QStringLiteral("archivo/dentro")), ejecutable, usuario, &error)
                    .isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace kestrel
