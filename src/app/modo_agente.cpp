#include "app/modos.h"

#include <cstdio>

namespace kestrel {

int modoAgente(int, char**) {
    std::fputs("El agente aun no esta disponible en esta version.\n", stderr);
    return 2;
}

} // namespace kestrel
