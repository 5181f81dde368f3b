#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QThread>

#include <chrono>
#include <functional>
#include <optional>

#include "print/escpos/destino.h"
#include "print/escpos/estado.h"

namespace kestrel {

Q_DECLARE_LOGGING_CATEGORY(registroEscpos)

/// How long a receipt printer may take. A printer that is off or unplugged never answers a connection; one
/// whose buffer is full (paper out, cover open) accepts and stops reading; one without status support never
/// answers DLE EOT: each case ends within its limit instead of holding the printer's queue.
struct LimitesEscpos {
    /// To accept the connection.
    std::chrono::milliseconds conexion{3000};
    /// To take more of a document's bytes: a printer that takes none for this long "no recibe datos". Also how
    /// long a printer that once answered its status has to answer again after a document.
    std::chrono::milliseconds escritura{10000};
    /// To answer the three status requests (a probe, or a printer that never answered them).
    std::chrono::milliseconds estado{1000};
    /// For a whole job, from connecting to its last answer (--limite-impresion).
    std::chrono::milliseconds documento{120000};
};

class TrabajadorEscpos;

/// The one thread that talks to the receipt printers (sockets, devices), so the window never waits on a
/// printer's write. Each printer (each address) has a queue of its own: its jobs go in order, one connection at
/// a time, while another printer's jobs go on meanwhile. Each job connects, writes, waits until the printer has
/// taken every byte, asks the status and closes.
class HiloEscpos {
public:
    /// Called on the printers' thread when a job ends: empty when the printer took it (every byte acknowledged
    /// by the printer, and the status answered again if the printer ever answered it), else why it did not
    /// ("no responde", "no recibe datos", "cortó la conexión", "sin papel", "no terminó en 120 s", ...).
    using AlTerminar = std::function<void(const QString& motivo)>;
    /// Called on the printers' thread after every job and probe of a printer (not for a job canceled): why it
    /// ended as AlTerminar says, and the status the printer answered, when it answered. A probe that got no
    /// answer from a printer that answered before says "no responde", and one after a document the printer
    /// stopped taking says "no recibe datos", though the probe itself trusted the printer.
    using AlLeerEstado =
        std::function<void(const DestinoEscpos& destino, const QString& motivo, const std::optional<EstadoEscpos>&)>;

    explicit HiloEscpos(LimitesEscpos limites);
    /// Stops the thread at once: a job under way is dropped with its connection, queued ones never run.
    ~HiloEscpos();
    HiloEscpos(const HiloEscpos&) = delete;
    HiloEscpos& operator=(const HiloEscpos&) = delete;

    /// Queues datos for the printer destino (a Tcp or Dispositivo one) as job trabajo, without waiting.
    void enviar(const DestinoEscpos& destino, qint64 trabajo, const QByteArray& datos, AlTerminar alTerminar);
    /// Drops job trabajo of that printer: not sent if it has not started, cut off if it is under way.
    void cancelar(const DestinoEscpos& destino, qint64 trabajo);
    /// Asks the printer's status and waits for it at most the connection limit plus the status limit: why
    /// it cannot print ("no responde", "sin papel", ...), or empty when it can or does not say. A printer still
    /// busy with earlier jobs when the wait ends is trusted: those jobs report their own end.
    QString sondear(const DestinoEscpos& destino);
    /// Queues a status probe behind the printer's jobs without waiting; its end reaches alLeerEstado only.
    void consultar(const DestinoEscpos& destino);
    /// Where every job's and probe's end is reported; set before the first job.
    void fijarAlLeerEstado(AlLeerEstado alLeerEstado);

private:
    LimitesEscpos m_limites;
    QThread m_hilo;
    TrabajadorEscpos* m_trabajador;
};

} // namespace kestrel
