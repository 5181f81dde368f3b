// Writes <carpeta>/<N>x<N>/apps/kestrel-agente.png for each size given, the layout of a hicolor icon theme.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>

#include <cstdio>

#include "tray/iconos.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList argumentos = QGuiApplication::arguments().mid(1);
    if (argumentos.size() < 2) {
        std::fputs("Uso: kestrel-iconos CARPETA LADO...\n", stderr);
        return 2;
    }
    const QDir raiz(argumentos.first());
    for (const QString& texto : argumentos.mid(1)) {
        bool ok = false;
        const int lado = texto.toInt(&ok);
        if (!ok || lado <= 0) {
            std::fprintf(stderr, "kestrel-iconos: lado no valido: %s\n", qUtf8Printable(texto));
            return 2;
        }
        const QString carpeta = raiz.filePath(QStringLiteral("%1x%1/apps").arg(lado));
        const QString archivo = carpeta + QStringLiteral("/kestrel-agente.png");
        // The state a working agent shows in the tray: connected and identified.
        const QImage imagen = kestrel::imagenEstado(kestrel::ImagenEstado::Ok, lado);
        if (!QDir().mkpath(carpeta) || !imagen.save(archivo, "PNG")) {
            std::fprintf(stderr, "kestrel-iconos: no se pudo escribir %s\n", qUtf8Printable(archivo));
            return 1;
        }
    }
    return 0;
}
