#include "socket_nativo.h"

#include <sys/socket.h>
#include <unistd.h>

void cerrarSocketNativo(qintptr descriptor) {
    ::close(static_cast<int>(descriptor));
}

void fijarBufferRecepcion(qintptr descriptor, int bytes) {
    ::setsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}
