#include "plataforma/plataforma.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace kestrel {

namespace {
bool asideroValido(DWORD cual) {
    const HANDLE h = ::GetStdHandle(cual);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// Qt writes a GUI program's log to the debugger, and anywhere else in the ANSI code page; the agent's log lines go
// to standard error in UTF-8, as on Linux and as the console modes write.
void registrarEnErrores(QtMsgType tipo, const QMessageLogContext& contexto, const QString& mensaje) {
    const QByteArray linea = (qFormatLogMessage(tipo, contexto, mensaje) + QLatin1Char('\n')).toUtf8();
    std::fwrite(linea.constData(), 1, static_cast<std::size_t>(linea.size()), stderr);
    std::fflush(stderr);
}
} // namespace

QStringList argumentosPrograma(int, char**) {
    QStringList argumentos;
    int n = 0;
    wchar_t** palabras = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!palabras)
        return argumentos;
    for (int i = 1; i < n; ++i)
        argumentos << QString::fromWCharArray(palabras[i]);
    ::LocalFree(palabras);
    return argumentos;
}

void prepararConsola() {
    // The console modes write the same bytes as on Linux (line ends included), so a listing saved on a branch
    // PC reads the same as one from Linux and the same golden files check both.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Redirected output (a file, a pipe, a remote shell) already has its handles and must keep them.
    const bool salida = asideroValido(STD_OUTPUT_HANDLE);
    const bool errores = asideroValido(STD_ERROR_HANDLE);
    if (errores)
        qInstallMessageHandler(registrarEnErrores);
    if (salida && errores)
        return;
    // Started from a console, a GUI program is not given it: borrow the parent's. From the Start menu or at
    // logon there is none, and the console modes simply print nowhere, as a GUI program does.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!salida)
        std::freopen("CONOUT$", "wb", stdout);
    if (!errores) {
        std::freopen("CONOUT$", "wb", stderr);
        qInstallMessageHandler(registrarEnErrores);
    }
    // Everything the agent writes is UTF-8 (ñ, tildes).
    ::SetConsoleOutputCP(CP_UTF8);
}

void prepararGraficos() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}

bool hayPantalla() {
    return true;
}

QStringList carpetasConfiguracion() {
    QStringList carpetas;
    for (const char* variable : {"PROGRAMDATA", "APPDATA"}) {
        const QString carpeta = qEnvironmentVariable(variable);
        if (!carpeta.isEmpty())
            carpetas << carpeta;
    }
    return carpetas;
}

QString ayudaArchivosConfiguracion() {
    return QStringLiteral("Se leen %PROGRAMDATA%\\kestrel\\kestrel-agente.conf y después\n"
                          "%APPDATA%\\kestrel\\kestrel-agente.conf; la línea de órdenes gana sobre ambos.\n");
}

QString carpetaDatosUsuario() {
    // %LOCALAPPDATA%\Kestrel: the branch code and the journal belong to this PC, not to a roaming profile.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Kestrel"));
}

} // namespace kestrel
