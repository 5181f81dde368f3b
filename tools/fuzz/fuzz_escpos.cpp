// Feeds arbitrary bytes to the ESC/POS decoder the printer emulator writes its jobs with, and checks what must
// hold for any input: the reading ends, a byte never writes more than a tab's eight wrapped lines, and walking the
// bytes command by command never steps past their end nor stands still.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "decodificador.h"

namespace {

void comprobar(bool condicion) {
    if (!condicion)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tamano));
    comprobar(kestrel::decodificarEscpos(bytes, kestrel::puntosRollo58).size() <= 8 * bytes.size() + 1);
    (void)kestrel::textoAnotadoEscpos(bytes);
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype largo = kestrel::largoComandoEscpos(bytes, i);
        comprobar(largo >= 0 && largo <= bytes.size() - i);
        if (largo == 0)
            break;
        i += largo;
    }
    return 0;
}
