#pragma once

#include <QAbstractSocket>
#include <QString>

namespace kestrel {

/// The classic socket state numbers the watch and the status label use (0 closed ... 7 connected, 8 the peer
/// has closed, 9 error).
namespace estadosocket {
inline constexpr int cerrado = 0;
inline constexpr int abierto = 1;
inline constexpr int escuchando = 2;
inline constexpr int conexionPendiente = 3;
inline constexpr int resolviendoHost = 4;
inline constexpr int hostResuelto = 5;
inline constexpr int conectando = 6;
inline constexpr int conectado = 7;
inline constexpr int cerrando = 8;
inline constexpr int error = 9;
} // namespace estadosocket

/// Qt's socket state as the classic number; conErrorPendiente marks a failed socket whose error has not been
/// handled yet.
int numeroEstado(QAbstractSocket::SocketState estado, bool conErrorPendiente = false);

/// A socket error as the agent reports it: the Winsock number, so that log lines read the same on every
/// installation, and a Spanish description.
struct ErrorSocket {
    int numero;
    QString descripcion;
};

/// Numbers of the socket errors the agent reports.
namespace numerowinsock {
inline constexpr int acceso = 10013;
inline constexpr int mensajeDemasiadoLargo = 10040;
inline constexpr int direccionNoDisponible = 10049;
inline constexpr int redCaida = 10050;
inline constexpr int redInalcanzable = 10051;
inline constexpr int conexionAbortada = 10053;
inline constexpr int conexionRestablecida = 10054;
inline constexpr int sinBuferes = 10055;
inline constexpr int tiempoAgotado = 10060;
inline constexpr int conexionRechazada = 10061;
inline constexpr int hostInalcanzable = 10065;
inline constexpr int hostNoEncontrado = 11001;
inline constexpr int operacionNoValida = 40020;
} // namespace numerowinsock

/// The report for one of Qt's socket errors. textoQt is used as description for errors without a number of
/// their own.
ErrorSocket errorWinsock(QAbstractSocket::SocketError error, const QString& textoQt = {});

} // namespace kestrel
