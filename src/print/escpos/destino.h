#pragma once

#include <QString>

#include <optional>

#include "print/escpos/codificador.h"

namespace kestrel {

/// Where a receipt printer spoken to in ESC/POS is reached, and how wide its roll prints.
struct DestinoEscpos {
    enum class Tipo {
        /// A network printer's raw port.
        Tcp,
        /// A CUPS queue that passes jobs through untouched.
        Cups,
        /// A device node (/dev/usb/lp0) or a plain file.
        Dispositivo,
    };
    QString nombre;
    Tipo tipo = Tipo::Tcp;
    QString host;
    quint16 puerto = 9100;
    /// The CUPS queue, or the device's path.
    QString ruta;
    int puntosAncho = puntosRollo80;

    /// The destination as it was written, without the name: "tcp://host:puerto", "cups:cola", "dispositivo:ruta".
    QString direccion() const;
};

/// Reads one printer: NOMBRE=tcp://HOST[:PUERTO], NOMBRE=cups:COLA or NOMBRE=dispositivo:RUTA, each optionally
/// followed by ?ancho=58 or ?ancho=80 (the roll; 80 when absent). On a mistake gives nothing and, when error is
/// given, says what is wrong.
std::optional<DestinoEscpos> leerDestinoEscpos(const QString& texto, QString* error);

} // namespace kestrel
