#include "print/qt/hilo_cups.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include <QObject>
#include <QTimer>

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

HiloCups::HiloCups(std::chrono::milliseconds limite, std::function<void()> latido, QString noResponde)
    : m_estado(std::make_shared<Estado>()), m_limite(limite), m_noResponde(std::move(noResponde)) {
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
            throw FalloPlataforma(numerofallo::dispositivoNoDisponible, m_noResponde);
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
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible, m_noResponde);
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

void enviarSeguido(HiloCups& hilo, EnDuda& enDuda, const QString& cola,
                   const std::shared_ptr<std::atomic<qint64>>& ultimo,
                   std::function<qint64(std::atomic<qint64>* creado, const std::atomic_bool& abandonada)> enviar) {
    enDuda.erase(cola);
    auto creado = std::make_shared<std::atomic<qint64>>(-1);
    // A call refused at once, or given up before it started, sends nothing and leaves nothing in doubt.
    auto empezado = std::make_shared<std::atomic_bool>(false);
    try {
        hilo.ejecutar([creado, empezado, ultimo, enviar = std::move(enviar)](const std::atomic_bool& abandonada) {
            *empezado = true;
            qint64 trabajo = 0;
            try {
                if (!abandonada)
                    trabajo = enviar(creado.get(), abandonada);
            } catch (...) {
                // A job made before the failure may still print: it stays the answer.
                qint64 ninguno = -1;
                creado->compare_exchange_strong(ninguno, 0);
                throw;
            }
            qint64 ninguno = -1;
            creado->compare_exchange_strong(ninguno, trabajo);
            if (!abandonada)
                ultimo->store(trabajo);
        });
    } catch (const FalloPlataforma& fallo) {
        if (fallo.numero() == numerofallo::dispositivoNoDisponible && *empezado)
            enDuda[cola] = creado;
        throw;
    }
}

std::optional<qint64> tomarEnDuda(EnDuda& enDuda, const QString& cola) {
    const auto it = enDuda.find(cola);
    if (it == enDuda.end())
        return 0;
    const qint64 trabajo = *it->second;
    if (trabajo < 0)
        return std::nullopt;
    enDuda.erase(it);
    return trabajo;
}

void consultarEnHilo(HiloCups& hilo, const std::shared_ptr<QObject>& receptor, std::function<EstadoCola()> pregunta,
                     std::function<void(const EstadoCola&)> respuesta) {
    // Exactly one answer, on the receiver's thread: the first of the spooler's and the deadline's; the other
    // finds it given. The flag is read on the thread too, so a question nobody waits for any more is not asked.
    auto dada = std::make_shared<std::atomic_bool>(false);
    auto responder = [dada, respuesta = std::move(respuesta)](const EstadoCola& estado) {
        if (!dada->exchange(true))
            respuesta(estado);
    };
    const EstadoCola sinRespuesta{EstadoCola::Fin::SinRespuesta, hilo.noResponde()};
    if (!hilo.responde()) {
        // Known not to answer: asking would only queue behind the call that is stuck.
        QMetaObject::invokeMethod(
            receptor.get(), [responder, sinRespuesta] { responder(sinRespuesta); }, Qt::QueuedConnection);
        return;
    }
    QTimer::singleShot(2 * hilo.limite(), receptor.get(), [responder, sinRespuesta] { responder(sinRespuesta); });
    hilo.encargar([=, pregunta = std::move(pregunta)] {
        if (*dada)
            throw HiloCups::SinPreguntar{};
        EstadoCola estado;
        std::exception_ptr fallo;
        try {
            estado = pregunta();
        } catch (const FalloPlataforma& f) {
            estado = EstadoCola{EstadoCola::Fin::SinRespuesta, f.descripcion()};
            fallo = std::current_exception();
        }
        QMetaObject::invokeMethod(
            receptor.get(), [responder, estado] { responder(estado); }, Qt::QueuedConnection);
        // The thread learns from it whether the spooler answers.
        if (fallo)
            std::rethrow_exception(fallo);
    });
}

void sondearEnHilo(HiloCups& hilo, std::weak_ptr<QObject> receptor,
                   const std::function<void(const LecturaImpresora&)>& observador, ClaseImpresora clase,
                   const std::shared_ptr<std::atomic_bool>& enCurso, std::function<QList<LecturaImpresora>()> leer) {
    if (!observador)
        return;
    // An empty name stands for every printer of the class: the spooler itself does not answer.
    const QList<LecturaImpresora> sinRespuesta{{QString(), clase, QString(), EstadoImpresora::NoResponde}};
    const auto avisar = [receptor = std::move(receptor), observador](const QList<LecturaImpresora>& lecturas) {
        if (const std::shared_ptr<QObject> r = receptor.lock()) {
            QMetaObject::invokeMethod(
                r.get(),
                [observador, lecturas] {
                    for (const LecturaImpresora& l : lecturas)
                        observador(l);
                },
                Qt::QueuedConnection);
        }
    };
    // Known not to answer (documents are being held for it): asking would only queue behind the stuck call, and
    // the thread's own question tells when it is back.
    if (!hilo.responde()) {
        avisar(sinRespuesta);
        return;
    }
    if (enCurso->exchange(true))
        return;
    hilo.encargar([avisar, sinRespuesta, enCurso, leer = std::move(leer)] {
        QList<LecturaImpresora> lecturas;
        std::exception_ptr fallo;
        try {
            lecturas = leer();
        } catch (const FalloPlataforma& f) {
            if (f.numero() == numerofallo::dispositivoNoDisponible)
                lecturas = sinRespuesta;
            fallo = std::current_exception();
        }
        enCurso->store(false);
        avisar(lecturas);
        // A poll that timed out must not count as an answer, or documents would be sent to a spooler still
        // frozen.
        if (fallo && esSinRespuesta(fallo))
            std::rethrow_exception(fallo);
    });
}

} // namespace kestrel
