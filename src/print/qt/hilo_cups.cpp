#include "print/qt/hilo_cups.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "json/fallo.h"

namespace kestrel {

struct HiloCups::Estado {
    struct Pendiente {
        Tarea tarea;
        std::shared_ptr<std::promise<void>> promesa;
        std::shared_ptr<std::atomic_bool> abandonada;
    };

    std::mutex mutex;
    std::condition_variable aviso;
    std::optional<Pendiente> pendiente;
    std::deque<std::function<void()>> encargos;
    bool ocupado = false;
    bool enEncargo = false;
    bool terminar = false;
    std::atomic_bool sinRespuesta{false};
    std::function<void()> latido;
    std::thread hilo;

    /// Runs a task that raises to say how the scheduler is, and notes whether it answered.
    void probar(const std::function<void()>& tarea) {
        try {
            tarea();
            sinRespuesta = false;
        } catch (const HiloCups::SinPreguntar&) {
            // Nothing was asked: the scheduler is as it was.
        } catch (...) {
            if (esSinRespuesta(std::current_exception()))
                sinRespuesta = true;
        }
    }

    void ejecutarBucle() {
        for (;;) {
            Pendiente p;
            {
                std::unique_lock<std::mutex> candado(mutex);
                aviso.wait(candado, [this] {
                    return terminar || pendiente.has_value() || !encargos.empty() || (sinRespuesta && latido);
                });
                if (terminar)
                    return;
                if (!pendiente && encargos.empty()) {
                    enEncargo = true;
                    candado.unlock();
                    probar(latido);
                    candado.lock();
                    enEncargo = false;
                    if (sinRespuesta)
                        aviso.wait_for(candado, std::chrono::milliseconds(500), [this] { return terminar; });
                    continue;
                }
                if (!pendiente) {
                    std::function<void()> encargo = std::move(encargos.front());
                    encargos.pop_front();
                    enEncargo = true;
                    candado.unlock();
                    // A follow-up that fails has been answered by the task itself, and asks again later.
                    probar(encargo);
                    candado.lock();
                    enEncargo = false;
                    continue;
                }
                p = std::move(*pendiente);
                pendiente.reset();
                ocupado = true;
            }
            std::exception_ptr fallo;
            try {
                p.tarea(*p.abandonada);
            } catch (...) {
                fallo = std::current_exception();
            }
            sinRespuesta = fallo && esSinRespuesta(fallo);
            // Free before answering: the caller may call again the moment it hears back.
            {
                std::lock_guard<std::mutex> candado(mutex);
                ocupado = false;
            }
            if (fallo)
                p.promesa->set_exception(fallo);
            else
                p.promesa->set_value();
        }
    }
};

QString descripcionCupsNoResponde() {
    return QStringLiteral("El servicio de impresion (CUPS) no responde");
}

bool esSinRespuesta(const std::exception_ptr& fallo) {
    try {
        std::rethrow_exception(fallo);
    } catch (const FalloPlataforma& f) {
        return f.numero() == numerofallo::dispositivoNoDisponible;
    } catch (...) {
        return false;
    }
}

HiloCups::HiloCups(std::chrono::milliseconds limite, std::function<void()> latido)
    : m_estado(std::make_shared<Estado>()), m_limite(limite) {
    m_estado->latido = std::move(latido);
    // The thread holds the state too, so a thread still stuck in CUPS when this object goes can finish later.
    m_estado->hilo = std::thread([estado = m_estado] { estado->ejecutarBucle(); });
}

HiloCups::~HiloCups() {
    bool ocupado = false;
    {
        std::lock_guard<std::mutex> candado(m_estado->mutex);
        m_estado->terminar = true;
        ocupado = m_estado->ocupado || m_estado->enEncargo;
    }
    m_estado->aviso.notify_all();
    // Joining a thread stuck in a wedged scheduler would hang the agent's exit; it ends with the process.
    if (ocupado)
        m_estado->hilo.detach();
    else
        m_estado->hilo.join();
}

void HiloCups::ejecutar(Tarea tarea) {
    auto promesa = std::make_shared<std::promise<void>>();
    std::future<void> futuro = promesa->get_future();
    auto abandonada = std::make_shared<std::atomic_bool>(false);
    {
        std::lock_guard<std::mutex> candado(m_estado->mutex);
        if (m_estado->ocupado || m_estado->pendiente || m_estado->sinRespuesta)
            throw FalloPlataforma(numerofallo::dispositivoNoDisponible, descripcionCupsNoResponde());
        m_estado->pendiente = Estado::Pendiente{std::move(tarea), promesa, abandonada};
    }
    m_estado->aviso.notify_one();
    if (futuro.wait_for(m_limite) != std::future_status::ready) {
        abandonada->store(true);
        {
            std::lock_guard<std::mutex> candado(m_estado->mutex);
            m_estado->sinRespuesta = true;
        }
        m_estado->aviso.notify_one();
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible, descripcionCupsNoResponde());
    }
    futuro.get();
}

bool HiloCups::responde() const {
    return !m_estado->sinRespuesta;
}

void HiloCups::encargar(std::function<void()> tarea) {
    {
        std::lock_guard<std::mutex> candado(m_estado->mutex);
        // Behind a call that never comes back, questions would pile up for ever; the oldest go first, and
        // their askers get their answer from their own deadline.
        constexpr std::size_t encargosMaximos = 1000;
        while (m_estado->encargos.size() >= encargosMaximos)
            m_estado->encargos.pop_front();
        m_estado->encargos.push_back(std::move(tarea));
    }
    m_estado->aviso.notify_one();
}

} // namespace kestrel
