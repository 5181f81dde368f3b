#include "app/modos.h"

#include <QFile>

#include <cstdio>

namespace kestrel {

void escribir(std::FILE* destino, const QString& texto) {
    const QByteArray bytes = texto.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), destino);
    std::fflush(destino);
}

std::optional<QString> leerArchivoDelModo(const QStringList& argumentos, const char* uso) {
    if (argumentos.size() != 1) {
        std::fprintf(stderr, "Uso: %s\n", uso);
        return std::nullopt;
    }
    QFile archivo(argumentos.front());
    if (!archivo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se pudo leer %s: %s\n", qPrintable(argumentos.front()),
                     qPrintable(archivo.errorString()));
        return std::nullopt;
    }
    return QString::fromUtf8(archivo.readAll());
}

} // namespace kestrel
