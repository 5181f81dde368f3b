#pragma once

#include <QList>
#include <QSslConfiguration>
#include <QSslError>
#include <QString>

namespace kestrel {

/// TLS on the link, as the options give it. Plain TCP when activo is false.
struct OpcionesTls {
    bool activo = false;
    /// PEM authorities that replace the system's; empty for the system's.
    QString ca;
    /// PEM client certificate and its key, presented to a service that asks for one; both or neither.
    QString certificado;
    QString clave;
};

/// The option files checked before anything starts: each can be read, and the options go together. Returns
/// one line naming the problem, or nothing. Reading the certificates themselves waits for prepararTls.
QString comprobarArchivosTls(const OpcionesTls& opciones);

/// The TLS settings of the link from the option files: TLS 1.2 or later, the peer verified against the
/// system's authorities or those of ca, the client certificate when given. Returns one line naming the file
/// that cannot be used, or nothing.
QString prepararTls(const OpcionesTls& opciones, QSslConfiguration& configuracion);

/// Why the service's certificate was refused, in words a technician understands.
QString motivoCertificado(const QList<QSslError>& errores, const QString& servidor);

} // namespace kestrel
