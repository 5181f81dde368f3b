#include "app/modos.h"

#include <QFile>

#include <cstdio>

#include "json/json.h"
#include "json/volcado.h"

namespace kestrel {

int modoAnalizarJson(const QStringList& argumentos) {
    if (argumentos.size() != 1) {
        std::fputs("Uso: kestrel-agente --analizar-json ARCHIVO\n", stderr);
        return 2;
    }
    QFile archivo(argumentos.front());
    if (!archivo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se pudo leer %s: %s\n", qPrintable(argumentos.front()),
                     qPrintable(archivo.errorString()));
        return 2;
    }
    const QString texto = QString::fromUtf8(archivo.readAll());
    const Valor resultado = jsonParse(texto);
    const QString errores = jsonErrors();
    const QByteArray salida = informeAnalisis(resultado, errores).toUtf8();
    std::fwrite(salida.constData(), 1, static_cast<std::size_t>(salida.size()), stdout);
    return errores.isEmpty() ? 0 : 1;
}

} // namespace kestrel
