#pragma once

#include <QString>

namespace kestrel {

/// Balloon icons of the notification area.
namespace iconoglobo {
inline constexpr int ninguno = 0;
inline constexpr int informacion = 1;
inline constexpr int advertencia = 2;
inline constexpr int error = 3;
} // namespace iconoglobo

/// Every balloon stays up to 30 s unless the user closes it.
inline constexpr int tiempoGlobo = 30000;

/// The icon's name as the logs and the text views write it ("informacion", "advertencia", "error").
QString nombreIconoGlobo(int icono);

/// How a document reaches the user: the balloon of the tray icon and the window's log. The window implements
/// it; documents never touch a widget.
class Avisos {
public:
    virtual ~Avisos() = default;
    virtual void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) = 0;
    /// One entry of the on-screen log.
    virtual void registrar(const QString& entrada) = 0;
};

} // namespace kestrel
