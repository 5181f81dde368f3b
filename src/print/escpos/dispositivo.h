#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

namespace kestrel {

/// A receipt printer reached as a device (a USB or serial printer) or a plain file, opened so that nothing on
/// it ever blocks the printers' thread. One backend per platform, chosen by the build; it lives and is used on
/// the thread that opened it, and its callbacks run there.
class DispositivoEscpos {
public:
    virtual ~DispositivoEscpos() = default;

    /// Whether status answers can be read from it: a device opened for reading too. A plain file never answers.
    virtual bool leeEstado() const = 0;
    /// Writes what the device takes now without waiting: how many bytes (0 when it is full for now), or -1 when
    /// it failed, with the system's description in error.
    virtual qint64 escribir(QByteArrayView datos, QString* error) = 0;
    /// Calls alPoder once, when the device can take bytes again after a write that took fewer than offered.
    virtual void esperarEscritura(std::function<void()> alPoder) = 0;
    /// Drops what was waiting to be read, then calls alLlegar with whatever arrives from now on (only when
    /// leeEstado()). Nothing more comes once the device reports its end or an error.
    virtual void leer(std::function<void(const QByteArray&)> alLlegar) = 0;
    /// Bytes written that have not left the computer yet (a serial line's output queue); 0 once all left, and
    /// at once for a file or a device that cannot say.
    virtual qint64 pendientes() = 0;
};

/// Opens the device or file at ruta for a job; null with the system's description in error when it cannot.
std::unique_ptr<DispositivoEscpos> abrirDispositivoEscpos(const QString& ruta, QString* error);

} // namespace kestrel
