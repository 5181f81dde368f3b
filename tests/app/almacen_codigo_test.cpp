#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "app/almacen_codigo.h"
#include "dialogos_prueba.h"
#include "tablas.h"

namespace kestrel {
namespace {

using prueba::DialogosPrueba;

void escribir(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contenido);
}

QByteArray leer(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
}

// Reading the code file and judging a typed code: tests/data/tablas/almacen_codigo.json.
TEST(AlmacenCodigo, Tablas) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("Acceso"));
    prueba::comprobarTablas(
        QStringLiteral("almacen_codigo"),
        {{QStringLiteral("leerArchivo"),
          [&](const QJsonArray& a) {
              escribir(ruta, a[0].toString().toUtf8());
              return leerArchivo(ruta).join(u'\n');
          }},
         {QStringLiteral("codigoValido"), [](const QJsonArray& a) {
              return QString::fromLatin1(
                  codigoValido(a[0].toString(), QLocale(QLocale::Spanish, QLocale::Colombia)) ? "true" : "false");
          }}});
    EXPECT_EQ(leerArchivo(dir.filePath(QStringLiteral("no-existe"))), QStringList{QString()});
    EXPECT_EQ(leerArchivo(dir.path()), QStringList{QString()}) << "a folder cannot be read as a file";
    EXPECT_TRUE(codigoValido(QStringLiteral("11,234,567,890.5"), QLocale(QLocale::English, QLocale::UnitedStates)));
}

class AlmacenCodigoTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    DialogosPrueba dialogos;
    AlmacenCodigo almacen{dir.path(), dialogos};
    QString acceso() const { return dir.filePath(QStringLiteral("Acceso")); }
};

TEST_F(AlmacenCodigoTest, UnCodigoGuardadoSeLeeSinPreguntar) {
    escribir(acceso(), "123456789012345\r\nRevisar\r\n");
    EXPECT_EQ(almacen.leerCodigoSucursal(), QStringLiteral("123456789012345"));
    EXPECT_EQ(almacen.leerModoTecnico(), QStringLiteral("Revisar"));
    EXPECT_EQ(dialogos.preguntas(), 0);
}

TEST_F(AlmacenCodigoTest, SinArchivoSePreguntaHastaTener15CaracteresYSeGuarda) {
    dialogos.respuestas = {QString(), QStringLiteral("123"), QStringLiteral("123456789012345")};
    EXPECT_EQ(almacen.leerCodigoSucursal(), QStringLiteral("123456789012345"));
    ASSERT_EQ(dialogos.preguntas(), 3);
    EXPECT_EQ(dialogos.mostrados.at(0).texto,
              QStringLiteral("No tiene registrado un codigo para esta sucursal, registrelo en el siguiente "
                             "campo.\r\nEl codigo de sucursal tiene 15 digitos"));
    EXPECT_EQ(dialogos.mostrados.at(0).titulo, QStringLiteral("Codigo de sucursal"));
    EXPECT_EQ(leer(acceso()), QByteArray("123456789012345\r\n"));
    EXPECT_TRUE(almacen.leerModoTecnico().isEmpty());
}

TEST_F(AlmacenCodigoTest, UnCodigoCortoSeReemplazaYAlArrancarSoloCuentaElLargo) {
    escribir(acceso(), "abc\r\nREVISAR\r\n");
    dialogos.respuestas = {QStringLiteral("SUCURSAL-NORTE-1")};
    EXPECT_EQ(almacen.leerCodigoSucursal(), QStringLiteral("SUCURSAL-NORTE-1"));
    EXPECT_EQ(leer(acceso()), QByteArray("SUCURSAL-NORTE-1\r\n"));
}

TEST_F(AlmacenCodigoTest, CambiarCodigoEscribeSoloElCodigoAceptado) {
    escribir(acceso(), "111111111111111\r\nREVISAR\r\n");
    dialogos.respuestas = {QStringLiteral("222222222222222")};
    EXPECT_EQ(almacen.cambiarCodigo(QLocale(QLocale::Spanish, QLocale::Colombia)), QStringLiteral("222222222222222"));
    ASSERT_EQ(dialogos.preguntas(), 1);
    EXPECT_EQ(dialogos.mostrados.at(0).texto,
              QStringLiteral("Escribe codigo de la sucursal y presiona Aceptar para iniciar"));
    EXPECT_EQ(dialogos.mostrados.at(0).titulo, QStringLiteral("Sistema de impresion"));
    // The keyword line goes: the file is written with the code alone.
    EXPECT_EQ(leer(acceso()), QByteArray("222222222222222\r\n"));
}

TEST_F(AlmacenCodigoTest, UnaRespuestaCanceladaONoNumericaNoLlegaAlDisco) {
    escribir(acceso(), "111111111111111\r\n");
    dialogos.respuestas = {QString(), QStringLiteral("33333333333333A"), QStringLiteral("X33333333333333")};
    EXPECT_EQ(almacen.cambiarCodigo(QLocale(QLocale::Spanish, QLocale::Colombia)), QStringLiteral("X33333333333333"));
    ASSERT_EQ(dialogos.preguntas(), 3);
    EXPECT_EQ(dialogos.mostrados.at(1).titulo, QStringLiteral("Codigo de sucursal"));
    EXPECT_EQ(leer(acceso()), QByteArray("X33333333333333\r\n"));
    EXPECT_FALSE(dialogos.agotado);
}

TEST_F(AlmacenCodigoTest, LaEscrituraReemplazaElArchivoDeUnaVez) {
    escribir(acceso(), "111111111111111\r\n");
    ASSERT_TRUE(escribirCodigo(acceso(), QStringLiteral("444444444444444")));
    EXPECT_EQ(leer(acceso()), QByteArray("444444444444444\r\n"));
    // Nothing is left behind besides the file itself.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Acceso"});
}

TEST_F(AlmacenCodigoTest, SiNoSePuedeEscribirEnUnaCarpetaInexistenteSeAvisa) {
    AlmacenCodigo otro(dir.filePath(QStringLiteral("no/existe")), dialogos);
    dialogos.respuestas = {QStringLiteral("555555555555555")};
    EXPECT_TRUE(otro.cambiarCodigo().isEmpty());
    ASSERT_EQ(dialogos.textosMensajes().size(), 1);
    EXPECT_TRUE(dialogos.textosMensajes().at(0).startsWith(QStringLiteral("No se pudo guardar el codigo")));
}

} // namespace
} // namespace kestrel
