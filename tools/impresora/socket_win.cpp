#include "socket_nativo.h"

#include <winsock2.h>

void cerrarSocketNativo(qintptr descriptor) {
    ::closesocket(static_cast<SOCKET>(descriptor));
}

void fijarBufferRecepcion(qintptr descriptor, int bytes) {
    ::setsockopt(static_cast<SOCKET>(descriptor), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                 sizeof bytes);
}
