#include "app/modos.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>

#include "app/dialogos.h"
#include "app/frm_main.h"
#include "app/impresion_agente.h"
#include "app/opciones_agente.h"
#include "print/documentos.h"
#include "tray/area_notificacion_qt.h"

namespace kestrel {

namespace {
// Tests of the shipped program shorten the watch and status intervals; a branch never sets these.
void intervaloDelEntorno(const char* variable, int& intervalo) {
    bool ok = false;
    const int valor = qEnvironmentVariableIntValue(variable, &ok);
    if (ok && valor > 0)
        intervalo = valor;
}

int fallar(const QString& texto) {
    std::fprintf(stderr, "kestrel-agente: %s (vea --help)\n", qUtf8Printable(texto));
    return 2;
}
} // namespace

int modoAgente(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrel-agente"));
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    // The window only hides; the agent ends through "Apagar Servidor".
    QApplication::setQuitOnLastWindowClosed(false);
    // Everything the agent shows is Spanish, Qt's own buttons ("Aceptar", "Cancelar") included, whatever the
    // machine's language.
    QTranslator traduccionQt;
    if (traduccionQt.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&traduccionQt);

    const ResultadoOpciones leidas = analizarOpciones(QApplication::arguments().mid(1));
    if (!leidas.error.isEmpty())
        return fallar(leidas.error);
    OpcionesAgente opciones = leidas.opciones;
    QString error;
    const QString carpeta =
        resolverCarpetaAplicacion(opciones.carpeta, QApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), &error);
    if (carpeta.isEmpty())
        return fallar(error);
    opciones.impresion.carpetaAplicacion = carpeta;

    DialogosQt dialogos;
    AreaNotificacionQt area;
    DependenciasVentana dependencias;
    dependencias.dialogos = &dialogos;
    dependencias.area = &area;
    dependencias.carpetaAplicacion = carpeta;
    dependencias.enlace.servidor = opciones.servidor;
    dependencias.enlace.puerto = opciones.puerto;
    dependencias.enlace.codificacion = opciones.codificacion;
    intervaloDelEntorno("KESTREL_INTERVALO_VIGILANCIA_MS", dependencias.enlace.intervaloVigilancia);
    intervaloDelEntorno("KESTREL_INTERVALO_ESTADO_MS", dependencias.enlace.intervaloPing);
    const OpcionesImpresion impresion = opciones.impresion;
    dependencias.crearDocumentos = [impresion](Avisos& avisos) { return crearImpresionAgente(impresion, avisos); };
    dependencias.terminar = [](int codigo) { QCoreApplication::exit(codigo); };

    frmMain ventana(dependencias);
    dialogos.fijarPadre(&ventana);
    if (!ventana.Form_Load())
        return 0;
    return QApplication::exec();
}

} // namespace kestrel
