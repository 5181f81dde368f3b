#include "red_nativa.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace medicion::red {

Socket escuchar(quint16 puerto) {
    // Winsock must be started once per process before its first call; Qt may not have done it yet.
    static const bool iniciado = [] {
        WSADATA datos;
        return ::WSAStartup(MAKEWORD(2, 2), &datos) == 0;
    }();
    Q_UNUSED(iniciado);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    dir.sin_port = htons(puerto);
    ::bind(s, reinterpret_cast<sockaddr*>(&dir), sizeof dir);
    ::listen(s, 4);
    return static_cast<Socket>(s);
}

quint16 puertoLocal(Socket s) {
    sockaddr_in dir{};
    int largo = sizeof dir;
    ::getsockname(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&dir), &largo);
    return ntohs(dir.sin_port);
}

Socket aceptar(Socket escucha) {
    const SOCKET c = ::accept(static_cast<SOCKET>(escucha), nullptr, nullptr);
    const char si = 1;
    ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &si, sizeof si);
    return static_cast<Socket>(c);
}

qint64 enviar(Socket s, const char* datos, std::size_t n) {
    return ::send(static_cast<SOCKET>(s), datos, static_cast<int>(n), 0);
}

qint64 recibir(Socket s, char* datos, std::size_t n) {
    return ::recv(static_cast<SOCKET>(s), datos, static_cast<int>(n), 0);
}

void cerrar(Socket s) {
    ::closesocket(static_cast<SOCKET>(s));
}

} // namespace medicion::red
