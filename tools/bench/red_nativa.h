#pragma once

#include <QtGlobal>

#include <cstddef>

// The plain sockets of the benchmark service, one file per platform (red_posix.cpp, red_win.cpp): the agent's own
// event loop must be the only one involved, so the service does not use Qt's.
namespace medicion::red {

/// -1 for none.
using Socket = qintptr;

/// A socket listening on the loopback address (port 0: any free one).
Socket escuchar(quint16 puerto);
quint16 puertoLocal(Socket s);
/// Accepts a connection and turns off Nagle's delay on it.
Socket aceptar(Socket escucha);
/// Bytes sent or received; 0 or less when the connection is gone.
qint64 enviar(Socket s, const char* datos, std::size_t n);
qint64 recibir(Socket s, char* datos, std::size_t n);
void cerrar(Socket s);

} // namespace medicion::red
