#include "red_nativa.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace medicion::red {

Socket escuchar(quint16 puerto) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    int si = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    dir.sin_port = htons(puerto);
    ::bind(s, reinterpret_cast<sockaddr*>(&dir), sizeof dir);
    ::listen(s, 4);
    return s;
}

quint16 puertoLocal(Socket s) {
    sockaddr_in dir{};
    socklen_t largo = sizeof dir;
    ::getsockname(static_cast<int>(s), reinterpret_cast<sockaddr*>(&dir), &largo);
    return ntohs(dir.sin_port);
}

Socket aceptar(Socket escucha) {
    const int c = ::accept(static_cast<int>(escucha), nullptr, nullptr);
    int si = 1;
    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &si, sizeof si);
    return c;
}

qint64 enviar(Socket s, const char* datos, std::size_t n) {
    return ::write(static_cast<int>(s), datos, n);
}

qint64 recibir(Socket s, char* datos, std::size_t n) {
    return ::read(static_cast<int>(s), datos, n);
}

void cerrar(Socket s) {
    ::close(static_cast<int>(s));
}

} // namespace medicion::red
