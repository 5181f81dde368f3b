#include "print/qt/sistema_cups.h"

#include <QTimer>

#include "json/fallo.h"
#include "print/qt/cliente_cups.h"
#include "print/qt/imagen.h"

namespace kestrel {

namespace {

DestinosCups destinos(HiloCups& hilo) {
    // Shared with the task: a call abandoned on a wedged scheduler may still write its answer later.
    auto resultado = std::make_shared<DestinosCups>();
    const auto limite = hilo.limite();
    hilo.ejecutar([resultado, limite](const std::atomic_bool&) { *resultado = consultarDestinos(limite); });
    return *resultado;
}

using EnDuda = std::map<QString, std::shared_ptr<std::atomic<qint64>>>;

/// Sends one job to cola on the CUPS thread. When its caller stops waiting, the call goes on and CUPS may still
/// make the job and print it: what it made is kept for cola in enDuda, so the document is followed as that job
/// rather than sent twice.
void enviarSeguido(HiloCups& hilo, EnDuda& enDuda, const QString& cola,
                   const std::shared_ptr<std::atomic<qint64>>& ultimo,
                   std::function<int(std::atomic<qint64>* creado, const std::atomic_bool& abandonada)> enviar) {
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

/// A CUPS queue as a printer. nombre gives the queue's name at the moment it is used, which lets the
/// printer that is current before any selection follow CUPS's default.
class SalidaCups : public SalidaImpresora {
public:
    SalidaCups(std::shared_ptr<HiloCups> hilo, std::shared_ptr<std::atomic<qint64>> ultimo,
               std::shared_ptr<EnDuda> enDuda, std::function<QString()> nombre)
        : m_hilo(std::move(hilo)), m_ultimo(std::move(ultimo)), m_enDuda(std::move(enDuda)),
          m_nombre(std::move(nombre)) {}

    QString nombre() override { return m_nombre(); }

    void comprobar() override {
        const QString cola = nombre();
        const auto limite = m_hilo->limite();
        m_hilo->ejecutar([cola, limite](const std::atomic_bool&) { comprobarCola(cola, limite); });
    }

    void entregar(const DocumentoGrabado& documento) override {
        const QString cola = nombre();
        const QString titulo = QStringLiteral("Kestrel - ") + cola;
        const auto limite = m_hilo->limite();
        enviarSeguido(*m_hilo, *m_enDuda, cola, m_ultimo,
                      [=](std::atomic<qint64>* creado, const std::atomic_bool& abandonada) {
                          return imprimirEnCola(cola, documento, titulo, abandonada, limite, creado);
                      });
    }

private:
    std::shared_ptr<HiloCups> m_hilo;
    std::shared_ptr<std::atomic<qint64>> m_ultimo;
    std::shared_ptr<EnDuda> m_enDuda;
    std::function<QString()> m_nombre;
};

} // namespace

SistemaCups::SistemaCups(std::chrono::milliseconds limite)
    : m_hilo(std::make_shared<HiloCups>(limite, [limite] { consultarDestinos(limite); })) {
    auto salida =
        std::make_unique<SalidaCups>(m_hilo, m_ultimo, m_enDuda, [this] { return predeterminadaInstalada(); });
    m_inicial = std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes);
}

QString SistemaCups::predeterminadaInstalada() {
    const QString nombre = predeterminada();
    if (nombre.isEmpty())
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("CUPS no tiene una impresora predeterminada"));
    return nombre;
}

SistemaCups::~SistemaCups() = default;

QStringList SistemaCups::impresoras() {
    m_lista = destinos(*m_hilo).nombres;
    m_listaLeida = true;
    return m_lista;
}

QString SistemaCups::predeterminada() {
    return destinos(*m_hilo).predeterminado;
}

ImpresoraQt& SistemaCups::impresoraLlamada(const QString& nombre) {
    auto it = m_impresoras.find(nombre);
    if (it == m_impresoras.end()) {
        auto salida = std::make_unique<SalidaCups>(m_hilo, m_ultimo, m_enDuda, [nombre] { return nombre; });
        it = m_impresoras.emplace(nombre, std::make_unique<ImpresoraQt>(std::move(salida), m_fuentes)).first;
    }
    return *it->second;
}

void SistemaCups::seleccionar(int indice) {
    if (!m_listaLeida)
        impresoras();
    if (indice < 0 || indice >= m_lista.size())
        throw FalloPlataforma::estandar(numerofallo::fueraDeIntervalo);
    m_actual = &impresoraLlamada(m_lista[indice]);
}

Impresora& SistemaCups::actual() {
    return m_actual ? static_cast<Impresora&>(*m_actual) : *m_inicial;
}

void SistemaCups::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    const auto limite = m_hilo->limite();
    enviarSeguido(*m_hilo, *m_enDuda, impresora, m_ultimo, [=](std::atomic<qint64>* creado, const std::atomic_bool&) {
        return enviarCrudo(impresora, datos, limite, creado);
    });
}

std::optional<qint64> SistemaCups::trabajoEnDuda(const QString& impresora) {
    const auto it = m_enDuda->find(impresora);
    if (it == m_enDuda->end())
        return 0;
    const qint64 trabajo = *it->second;
    if (trabajo < 0)
        return std::nullopt;
    m_enDuda->erase(it);
    return trabajo;
}

qint64 SistemaCups::tomarTrabajo() {
    return m_ultimo->exchange(0);
}

void SistemaCups::consultarTrabajo(const QString& impresora, qint64 trabajo,
                                   std::function<void(const EstadoCola&)> respuesta) {
    // Exactly one answer, on this thread: the first of the scheduler's and the deadline's; the other finds it
    // given. The flag is read on the CUPS thread too, so a question nobody waits for any more is not asked.
    auto dada = std::make_shared<std::atomic_bool>(false);
    auto responder = [dada, respuesta = std::move(respuesta)](const EstadoCola& estado) {
        if (!dada->exchange(true))
            respuesta(estado);
    };
    const auto sinRespuesta = [](const QString& motivo) { return EstadoCola{EstadoCola::Fin::SinRespuesta, motivo}; };
    if (!m_hilo->responde()) {
        // Known not to answer: asking would only queue behind the call that is stuck.
        QMetaObject::invokeMethod(
            m_receptor.get(), [responder, sinRespuesta] { responder(sinRespuesta(descripcionCupsNoResponde())); },
            Qt::QueuedConnection);
        return;
    }
    const auto limite = m_hilo->limite();
    QTimer::singleShot(2 * limite, m_receptor.get(),
                       [responder, sinRespuesta] { responder(sinRespuesta(descripcionCupsNoResponde())); });
    m_hilo->encargar([=, receptor = m_receptor] {
        if (*dada)
            throw HiloCups::SinPreguntar{};
        EstadoCola estado;
        std::exception_ptr fallo;
        try {
            estado = consultarTrabajoCups(impresora, static_cast<int>(trabajo), limite);
        } catch (const FalloPlataforma& f) {
            estado = sinRespuesta(f.descripcion());
            fallo = std::current_exception();
        }
        QMetaObject::invokeMethod(
            receptor.get(), [responder, estado] { responder(estado); }, Qt::QueuedConnection);
        // The thread learns from it whether the scheduler answers.
        if (fallo)
            std::rethrow_exception(fallo);
    });
}

bool SistemaCups::responde(const QString& impresora) {
    Q_UNUSED(impresora);
    return m_hilo->responde();
}

void SistemaCups::cancelarTrabajo(const QString& impresora, qint64 trabajo) {
    const auto limite = m_hilo->limite();
    m_hilo->ejecutar([impresora, trabajo, limite](const std::atomic_bool&) {
        cancelarTrabajoCups(impresora, static_cast<int>(trabajo), limite);
    });
}

QSize SistemaCups::tamanoImagen(const QString& ruta) {
    return tamanoNaturalImagen(ruta);
}

} // namespace kestrel
