#pragma once

#include <QHostAddress>
#include <QString>

namespace kestrel {

/// Printer health and the metrics endpoint: --sondeo-impresoras, --metricas, --metricas-certificado,
/// --metricas-clave.
struct OpcionesSalud {
    /// How often idle printers are asked how they stand, in seconds; 0 asks only at start and around documents.
    int sondeoImpresoras = 30;
    /// Whether the metrics endpoint runs, and where. Only this machine reaches it unless told otherwise.
    bool metricas = false;
    QHostAddress direccion{QHostAddress::LocalHost};
    quint16 puerto = 0;
    /// HTTPS for the endpoint: certificate and private key (PEM), both or neither.
    QString certificado;
    QString clave;
};

/// Applies one of the options above by its name without dashes; the problem with its value, or nothing.
/// Names that are not its own are left alone (nothing is returned and nothing changes).
QString aplicarOpcionSalud(OpcionesSalud& opciones, const QString& nombre, const QString& valor);
/// The option names aplicarOpcionSalud takes.
const QStringList& nombresOpcionesSalud();

/// What stops the agent at start: a certificate without its key (or the other way round), or a file that
/// cannot be read. Empty when all is well.
QString comprobarOpcionesSalud(const OpcionesSalud& opciones);

} // namespace kestrel
