#pragma once

#include <QtGlobal>

// The two socket calls the emulator makes below Qt, one file per platform (socket_posix.cpp, socket_win.cpp).

/// Closes an accepted connection Qt never wrapped.
void cerrarSocketNativo(qintptr descriptor);
/// Sets the receive buffer that connections accepted on this listening socket inherit.
void fijarBufferRecepcion(qintptr descriptor, int bytes);
