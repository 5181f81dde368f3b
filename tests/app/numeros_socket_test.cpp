#include <gtest/gtest.h>

#include "app/numeros_socket.h"

namespace kestrel {
namespace {

TEST(NumerosSocket, EstadosDeQtComoNumerosClasicos) {
    struct Caso {
        QAbstractSocket::SocketState estado;
        bool error;
        int numero;
    };
    const Caso casos[] = {
        {QAbstractSocket::UnconnectedState, false, 0}, {QAbstractSocket::UnconnectedState, true, 9},
        {QAbstractSocket::BoundState, false, 1},       {QAbstractSocket::ListeningState, false, 2},
        {QAbstractSocket::HostLookupState, false, 4},  {QAbstractSocket::ConnectingState, false, 6},
        {QAbstractSocket::ConnectedState, false, 7},   {QAbstractSocket::ClosingState, false, 8},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(numeroEstado(c.estado, c.error), c.numero) << c.estado;
}

TEST(NumerosSocket, ErroresConLosNumerosDeWinsock) {
    struct Caso {
        QAbstractSocket::SocketError error;
        int numero;
    };
    const Caso casos[] = {
        {QAbstractSocket::ConnectionRefusedError, 10061}, {QAbstractSocket::HostNotFoundError, 11001},
        {QAbstractSocket::SocketTimeoutError, 10060},     {QAbstractSocket::RemoteHostClosedError, 10054},
        {QAbstractSocket::NetworkError, 10051},           {QAbstractSocket::SocketAccessError, 10013},
        {QAbstractSocket::SocketResourceError, 10055},    {QAbstractSocket::UnknownSocketError, 10053},
    };
    for (const Caso& c : casos) {
        const ErrorSocket e = errorWinsock(c.error);
        EXPECT_EQ(e.numero, c.numero) << c.error;
        EXPECT_FALSE(e.descripcion.isEmpty()) << c.error;
        // The number travels as a 16-bit integer in the error event.
        EXPECT_LE(e.numero, 32767);
    }
    EXPECT_EQ(errorWinsock(QAbstractSocket::UnknownSocketError, QStringLiteral("detalle")).descripcion,
              QStringLiteral("detalle"));
}

} // namespace
} // namespace kestrel
