#include "metricas/proceso.h"

#include <windows.h>
#include <psapi.h>

namespace kestrel {

double memoriaResidente() {
    PROCESS_MEMORY_COUNTERS contadores{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &contadores, sizeof contadores))
        return -1;
    return static_cast<double>(contadores.WorkingSetSize);
}

double inicioProceso() {
    FILETIME creacion{}, salida{}, nucleo{}, usuario{};
    if (!GetProcessTimes(GetCurrentProcess(), &creacion, &salida, &nucleo, &usuario))
        return -1;
    // FILETIME counts 100 ns steps since 1601-01-01; the Unix epoch is 11644473600 s later.
    ULARGE_INTEGER t;
    t.LowPart = creacion.dwLowDateTime;
    t.HighPart = creacion.dwHighDateTime;
    return static_cast<double>(t.QuadPart) / 1e7 - 11644473600.0;
}

} // namespace kestrel
