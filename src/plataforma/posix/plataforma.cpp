#include "plataforma/plataforma.h"

#include <QDir>
#include <QStandardPaths>

namespace kestrel {

QStringList argumentosPrograma(int argc, char** argv) {
    QStringList argumentos;
    for (int i = 1; i < argc; ++i)
        argumentos << QString::fromLocal8Bit(argv[i]);
    return argumentos;
}

void prepararConsola() {}

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
