#include "app/modos.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

#include "app/configuracion_agente.h"
#include "app/dialogos.h"
#include "app/frm_main.h"
#include "app/impresion_agente.h"
#include "app/opciones_agente.h"
#include "app/registro.h"
#include "app/salud_agente.h"
#include "plataforma/plataforma.h"
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

int modoAgente(int argc, char** argv, const QStringList& argumentos) {
    const ResultadoOpciones leidas = leerOpcionesAgente(argumentos);
    if (!leidas.error.isEmpty())
        return fallar(leidas.error);
    OpcionesAgente opciones = leidas.opciones;
    if (const QString problema = comprobarArchivosTls(opciones.tls); !problema.isEmpty())
        return fallar(problema);
    if (const QString problema = comprobarOpcionesSalud(opciones.salud); !problema.isEmpty())
        return fallar(problema);
    instalarFormatoRegistro();
    if (!hayPantalla()) {
        std::fputs("kestrel-agente: no hay una pantalla donde mostrar el agente (DISPLAY no está definida o no "
                   "responde)\n",
                   stderr);
        return 1;
    }
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

    QString error;
    const QString carpeta =
        resolverCarpetaAplicacion(opciones.carpeta, QApplication::applicationDirPath(), carpetaDatosUsuario(), &error);
    if (carpeta.isEmpty())
        return fallar(error);
    opciones.impresion.carpetaAplicacion = carpeta;

    DialogosQt dialogos;
    AreaNotificacionQt area;
    DependenciasVentana dependencias;
    dependencias.dialogos = &dialogos;
    dependencias.area = &area;
    dependencias.carpetaAplicacion = carpeta;
    dependencias.enlace = opciones.enlace;
    // The certificates are read once the application exists: Qt loads its TLS backend as a plug-in.
    if (opciones.tls.activo) {
        QSslConfiguration tls;
        if (const QString problema = prepararTls(opciones.tls, tls); !problema.isEmpty())
            return fallar(problema);
        dependencias.enlace.tls = tls;
    }
    intervaloDelEntorno("KESTREL_INTERVALO_VIGILANCIA_MS", dependencias.enlace.intervaloVigilancia);
    intervaloDelEntorno("KESTREL_INTERVALO_ESTADO_MS", dependencias.enlace.intervaloPing);
    const OpcionesImpresion impresion = opciones.impresion;
    dependencias.crearDocumentos = [impresion](Avisos& avisos, TrabajosAgente& trabajos) {
        return crearImpresionAgente(impresion, avisos, &trabajos);
    };
    dependencias.terminar = [](int codigo) { QCoreApplication::exit(codigo); };
    dependencias.crearSalud = [salud = opciones.salud](frmMain& v, const TrabajosAgente& t) {
        return std::make_unique<SaludAgente>(salud, v, v.enlace(), v.despachador(), t);
    };

    frmMain ventana(dependencias);
    dialogos.fijarPadre(&ventana);
    if (!ventana.Form_Load())
        return 1;
    return QApplication::exec();
}

} // namespace kestrel
