#include "print/escpos/socket_escpos.h"

// The question is asked at run time and refused by systems older than Windows 10 1703: declaring it costs the
// agent nothing on them.
#undef _WIN32_WINNT
#undef NTDDI_VERSION
#define _WIN32_WINNT 0x0A00
#define NTDDI_VERSION 0x0A000003

#include <winsock2.h>

#include <mstcpip.h>
#include <ws2tcpip.h>

namespace kestrel {

qint64 bytesSinConfirmar(qintptr descriptor) {
    // Windows 10 1703 and later say how many sent bytes the peer has not acknowledged; older systems, and
    // Wine, refuse the question, and the caller then trusts what left.
    if (descriptor < 0)
        return -1;
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD tamano = 0;
    if (::WSAIoctl(static_cast<SOCKET>(descriptor), SIO_TCP_INFO, &version, sizeof version, &info, sizeof info, &tamano,
                   nullptr, nullptr) != 0 ||
        tamano < sizeof info)
        return -1;
    // Bytes still waiting in Winsock's own buffer are not in flight: they stay there while the printer's
    // window is closed, which is exactly a printer that stopped reading. A closed window therefore counts as a
    // byte not yet taken, so such a printer is never taken for a drained one.
    return static_cast<qint64>(info.BytesInFlight) + (info.SndWnd == 0 ? 1 : 0);
}

} // namespace kestrel
