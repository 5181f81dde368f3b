#include "plataforma/plataforma.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>

#include <windows.h>

#include <shellapi.h>

namespace kestrel {

namespace {
bool asideroValido(DWORD cual) {
    const HANDLE h = ::GetStdHandle(cual);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
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
    // Redirected output (a file, a pipe, a remote shell) already has its handles and must keep them.
    const bool salida = asideroValido(STD_OUTPUT_HANDLE);
    const bool errores = asideroValido(STD_ERROR_HANDLE);
    // A GUI program's log goes to the debugger unless told otherwise; the agent's log lines belong on standard
    // error whenever someone collects it.
    if (errores)
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
    if (salida && errores)
        return;
    // Started from a console, a GUI program is not given it: borrow the parent's. From the Start menu or at
    // logon there is none, and the console modes simply print nowhere, as a GUI program does.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!salida)
        std::freopen("CONOUT$", "w", stdout);
    if (!errores) {
        std::freopen("CONOUT$", "w", stderr);
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
    }
    // Everything the agent writes is UTF-8 (ñ, tildes).
    ::SetConsoleOutputCP(CP_UTF8);
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
