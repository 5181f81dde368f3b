#pragma once

// Stand-in while the device I/O of hilo_escpos.cpp has no Windows backend yet: MinGW's C runtime has open(),
// read() and write() but not these flags, so the file builds and tcp:// and raw spooler printers work.
// dispositivo: paths are not usable on Windows until that backend replaces this header.
#include <fcntl.h>

#define O_NONBLOCK 0
#define O_CLOEXEC 0
#define O_NOCTTY 0
