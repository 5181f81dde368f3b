#include "plataforma/plataforma.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace kestrel {

QStringList argumentosPrograma(int argc, char** argv) {
    QStringList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    return argumentos;
}

void prepararConsola() {}

void prepararGraficos() {}

bool hayPantalla() {
    const QString plataforma = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!plataforma.isEmpty() && !plataforma.startsWith(QLatin1String("xcb")) &&
        !plataforma.startsWith(QLatin1String("wayland")))
        return true;
    if (!plataforma.startsWith(QLatin1String("xcb")) && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QString pantalla = qEnvironmentVariable("DISPLAY");
    if (pantalla.isEmpty())
        return false;
    // A local display ":N" listens on its socket; without it Qt would abort instead of saying why.
    static const QRegularExpression local(QStringLiteral("^:(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch m = local.match(pantalla);
    return !m.hasMatch() || QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + m.captured(1));
}

QStringList carpetasConfiguracion() {
    QStringList carpetas;
    QString sistema = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (sistema.isEmpty())
        sistema = QStringLiteral("/etc/xdg");
    const QStringList delSistema = sistema.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    // The first folder of XDG_CONFIG_DIRS is the most important one, so it applies last.
    for (auto c = delSistema.crbegin(); c != delSistema.crend(); ++c)
        carpetas << *c;
    QString usuario = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (usuario.isEmpty())
        usuario = QDir::home().filePath(QStringLiteral(".config"));
    carpetas << usuario;
    return carpetas;
}

QString ayudaArchivosConfiguracion() {
    return QStringLiteral("Se leen /etc/xdg/kestrel/kestrel-agente.conf y después\n"
                          "~/.config/kestrel/kestrel-agente.conf; la línea de órdenes gana sobre ambos.\n");
}

QString carpetaDatosUsuario() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace kestrel
