#include "plataforma/error_windows.h"

#include <windows.h>

namespace kestrel {

QString textoErrorWindows(unsigned long codigo) {
    wchar_t* texto = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, codigo, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
    QString resultado = n ? QString::fromWCharArray(texto, static_cast<int>(n)).trimmed()
                          : QStringLiteral("error %1 de Windows").arg(codigo);
    if (texto)
        ::LocalFree(texto);
    return resultado;
}

} // namespace kestrel
