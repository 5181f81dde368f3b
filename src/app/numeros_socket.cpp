#include "app/numeros_socket.h"

namespace kestrel {

int numeroEstado(QAbstractSocket::SocketState estado, bool conErrorPendiente) {
    switch (estado) {
    case QAbstractSocket::UnconnectedState:
        return conErrorPendiente ? estadosocket::error : estadosocket::cerrado;
    case QAbstractSocket::HostLookupState:
        return estadosocket::resolviendoHost;
    case QAbstractSocket::ConnectingState:
        return estadosocket::conectando;
    case QAbstractSocket::ConnectedState:
        return estadosocket::conectado;
    case QAbstractSocket::BoundState:
        return estadosocket::abierto;
    case QAbstractSocket::ListeningState:
        return estadosocket::escuchando;
    case QAbstractSocket::ClosingState:
        return estadosocket::cerrando;
    }
    return estadosocket::error;
}

ErrorSocket errorWinsock(QAbstractSocket::SocketError error, const QString& textoQt) {
    using namespace numerowinsock;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return {conexionRechazada, QStringLiteral("El equipo remoto rechazó la conexión")};
    case QAbstractSocket::RemoteHostClosedError:
        return {conexionRestablecida, QStringLiteral("El equipo remoto cerró la conexión")};
    case QAbstractSocket::HostNotFoundError:
        return {hostNoEncontrado, QStringLiteral("No se encontró el equipo")};
    case QAbstractSocket::SocketAccessError:
        return {acceso, QStringLiteral("Permiso denegado")};
    case QAbstractSocket::SocketResourceError:
        return {sinBuferes, QStringLiteral("No hay espacio de búfer disponible")};
    case QAbstractSocket::SocketTimeoutError:
        return {tiempoAgotado, QStringLiteral("Se agotó el tiempo de espera de la conexión")};
    case QAbstractSocket::DatagramTooLargeError:
        return {mensajeDemasiadoLargo, QStringLiteral("El mensaje es demasiado largo")};
    case QAbstractSocket::NetworkError:
        return {redInalcanzable, QStringLiteral("La red no está disponible")};
    case QAbstractSocket::AddressInUseError:
    case QAbstractSocket::SocketAddressNotAvailableError:
        return {direccionNoDisponible, QStringLiteral("La dirección solicitada no es válida en este contexto")};
    case QAbstractSocket::UnsupportedSocketOperationError:
    case QAbstractSocket::UnfinishedSocketOperationError:
    case QAbstractSocket::OperationError:
        return {operacionNoValida, QStringLiteral("Operación no válida en el estado actual del socket")};
    case QAbstractSocket::TemporaryError:
        return {sinBuferes, QStringLiteral("Recurso no disponible temporalmente")};
    default:
        break;
    }
    return {conexionAbortada, textoQt.isEmpty() ? QStringLiteral("Se anuló la conexión") : textoQt};
}

} // namespace kestrel
