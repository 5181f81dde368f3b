#include "print/escpos/socket_escpos.h"

#include <sys/ioctl.h>
#include <termios.h>

namespace kestrel {

qint64 bytesSinConfirmar(qintptr descriptor) {
    // On a Linux TCP socket the output queue counts what was sent and not yet acknowledged, not only what is
    // still to send.
    int cola = 0;
    if (descriptor < 0 || ::ioctl(static_cast<int>(descriptor), TIOCOUTQ, &cola) != 0)
        return -1;
    return cola;
}

} // namespace kestrel
