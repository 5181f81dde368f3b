#pragma once

#include <QString>

#include <atomic>
#include <exception>
#include <chrono>
#include <functional>
#include <memory>

namespace kestrel {

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

    /// latido asks CUPS something cheap on the thread and raises when it does not answer.
    HiloCups(std::chrono::milliseconds limite, std::function<void()> latido = {});
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

private:
    struct Estado;
    std::shared_ptr<Estado> m_estado;
    std::chrono::milliseconds m_limite;
};

/// The description of the failure raised when CUPS does not answer in time.
QString descripcionCupsNoResponde();
/// True for the failures that say the scheduler did not answer, as opposed to a definite answer.
bool esSinRespuesta(const std::exception_ptr& fallo);

} // namespace kestrel
