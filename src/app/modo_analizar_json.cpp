#include "app/modos.h"

#include <cstdio>

namespace kestrel {

int modoAnalizarJson(const QStringList&) {
    std::fputs("Este modo aun no esta disponible en esta version.\n", stderr);
    return 2;
}

} // namespace kestrel
