#pragma once

#include <QString>

#include <atomic>
#include <exception>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "print/impresora.h"

namespace kestrel {

/// The description of the failure raised when CUPS does not answer in time.
QString descripcionCupsNoResponde();

/// The one thread that talks to CUPS, so the window never waits on it for longer than a limit.
///
/// A wedged scheduler (stopped, overloaded, stuck on a backend) accepts a connection and then never answers:
/// every libcups and QPrinter call made against it blocks for as long as it stays that way. Calls therefore
/// run here while the caller waits at most the limit; a call that does not finish in time fails with a
/// "no answer" failure (numerofallo::dispositivoNoDisponible) and is marked abandoned. From then on the
/// scheduler counts as not answering: every further call fails at once instead of queueing behind the stuck one
/// (so a job reported as failed is not printed later by surprise, and a document does not wait the limit again
/// to learn what is known), while the thread asks a cheap question of its own (latido) every half second until
/// the scheduler answers again.
class HiloCups {
public:
    /// A call to run on the thread; abandonada turns true when its caller stopped waiting.
    using Tarea = std::function<void(const std::atomic_bool& abandonada)>;

    /// latido asks the scheduler something cheap on the thread and raises when it does not answer; noResponde
    /// describes the failure of a call that gets no answer (the Windows spooler names itself).
    explicit HiloCups(std::chrono::milliseconds limite, std::function<void()> latido = {},
                      QString noResponde = descripcionCupsNoResponde());
    ~HiloCups();
    HiloCups(const HiloCups&) = delete;
    HiloCups& operator=(const HiloCups&) = delete;

    /// Runs tarea on the thread and waits for it at most the limit. The task's own failure reaches the
    /// caller; a task that does not finish in time raises a printer failure.
    void ejecutar(Tarea tarea);
    /// Queues tarea to run on the thread when no call is waiting, without waiting for it: the follow-up of
    /// sent jobs. Such a task carries its own time limit; a call that comes meanwhile waits for it within
    /// its own limit instead of failing at once. A task that raises the "no answer" failure marks the
    /// scheduler as not answering, one that returns marks it as answering, one that raises SinPreguntar asked
    /// nothing and says nothing.
    void encargar(std::function<void()> tarea);
    struct SinPreguntar {};
    /// False from a call that got no answer until the scheduler answers again.
    bool responde() const;
    std::chrono::milliseconds limite() const { return m_limite; }
    /// The description of the failure of a call that gets no answer.
    const QString& noResponde() const { return m_noResponde; }

private:
    struct Estado;
    std::shared_ptr<Estado> m_estado;
    std::chrono::milliseconds m_limite;
    QString m_noResponde;
};

/// True for the failures that say the scheduler did not answer, as opposed to a definite answer.
bool esSinRespuesta(const std::exception_ptr& fallo);

/// Per printer, the job a send that got no answer made, once that call is over (-1 while it is under way).
using EnDuda = std::map<QString, std::shared_ptr<std::atomic<qint64>>>;

/// Sends one job to cola on the thread. When its caller stops waiting, the call goes on and the spooler may
/// still make the job and print it: what it made is kept for cola in enDuda, so the document is followed as
/// that job rather than sent twice. enviar stores the job's number in creado as soon as it exists, and returns
/// it; ultimo gets it when the caller still waits.
void enviarSeguido(HiloCups& hilo, EnDuda& enDuda, const QString& cola,
                   const std::shared_ptr<std::atomic<qint64>>& ultimo,
                   std::function<qint64(std::atomic<qint64>* creado, const std::atomic_bool& abandonada)> enviar);

/// SistemaImpresion::trabajoEnDuda over enDuda.
std::optional<qint64> tomarEnDuda(EnDuda& enDuda, const QString& cola);

/// SistemaImpresion::consultarTrabajo on the thread: pregunta runs there (raising FalloPlataforma when the
/// spooler cannot tell), and respuesta is called exactly once on receptor's thread, with SinRespuesta when the
/// spooler is known not to answer, raises, or takes more than twice the limit.
void consultarEnHilo(HiloCups& hilo, const std::shared_ptr<QObject>& receptor, std::function<EstadoCola()> pregunta,
                     std::function<void(const EstadoCola&)> respuesta);

/// SistemaImpresion::sondearEstados on the thread, queued behind the follow-up's questions: leer runs there and
/// its readings reach observador on receptor's thread. One poll at a time (enCurso); while the spooler is known not
/// to answer, or when leer finds it does not, every printer of the class reads `no responde` at once, and a poll
/// that got no answer tells the thread so, like any other question.
void sondearEnHilo(HiloCups& hilo, std::weak_ptr<QObject> receptor,
                   const std::function<void(const LecturaImpresora&)>& observador, ClaseImpresora clase,
                   const std::shared_ptr<std::atomic_bool>& enCurso, std::function<QList<LecturaImpresora>()> leer);

} // namespace kestrel
