#include "app/modos.h"

#include <cstdio>

#include "json/json.h"
#include "json/volcado.h"

namespace kestrel {

int modoAnalizarJson(const QStringList& argumentos) {
    const std::optional<QString> texto = leerArchivoDelModo(argumentos, "kestrel-agente --analizar-json ARCHIVO");
    if (!texto)
        return 2;
    const Valor resultado = jsonParse(*texto);
    const QString errores = jsonErrors();
    const QByteArray salida = informeAnalisis(resultado, errores).toUtf8();
    std::fwrite(salida.constData(), 1, static_cast<std::size_t>(salida.size()), stdout);
    return errores.isEmpty() ? 0 : 1;
}

} // namespace kestrel
