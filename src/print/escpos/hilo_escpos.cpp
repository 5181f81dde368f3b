#include "print/escpos/hilo_escpos.h"

#include <atomic>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <QTcpSocket>
#include <QTimer>

#include "print/escpos/dispositivo.h"
#include "print/escpos/estado.h"
#include "print/escpos/socket_escpos.h"

namespace kestrel {

Q_LOGGING_CATEGORY(registroEscpos, "kestrel.escpos", QtInfoMsg)

namespace {

QString noResponde() {
    return QStringLiteral("no responde");
}

QString cortoLaConexion() {
    return QStringLiteral("cortó la conexión");
}

QString noRecibeDatos() {
    return QStringLiteral("no recibe datos");
}

QString cancelado() {
    return QStringLiteral("cancelado");
}

/// The start of the reason a document's whole limit gives ("no terminó en 120 s").
QString noTermino() {
    return QStringLiteral("no terminó");
}

/// How often a document's unacknowledged bytes are looked at while the printer takes them: often enough that a
/// ticket is journaled soon after its last byte is in, seldom enough to cost nothing.
constexpr std::chrono::milliseconds intervaloConsulta{25};

struct Tarea {
    qint64 trabajo = 0;
    QByteArray datos;
    /// A probe writes nothing: it only asks the status.
    bool sondeo = false;
    HiloEscpos::AlTerminar alTerminar;
    /// Set when the caller of a probe stopped waiting: a probe nobody waits for is not run.
    std::shared_ptr<std::atomic_bool> abandonada;
};

} // namespace

/// One printer's queue with its one connection or open device, on the printers' thread. Everything is
/// driven by the socket's or the device's readiness and one timer, so no printer ever blocks the thread.
class CanalEscpos : public QObject {
public:
    CanalEscpos(DestinoEscpos destino, LimitesEscpos limites, const HiloEscpos::AlLeerEstado& alLeerEstado,
                QObject* padre);
    ~CanalEscpos() override { cerrar(false); }

    void encolar(Tarea tarea);
    void quitar(qint64 trabajo);

private:
    enum class Fase {
        Libre,
        Conectando,
        /// Until the printer has taken every byte: written, and acknowledged by its network stack or out of
        /// the computer's device queue.
        Escribiendo,
        Estado,
    };

    void siguiente();
    void conectar();
    void abrir();
    void escribir();
    void escribirDispositivo();
    void consultar();
    void datosEscritos();
    void pedirEstado();
    void recibir(const QByteArray& bytes);
    void interrumpir();
    void vencer();
    void concluirEstado();
    void terminar(const QString& motivo);
    void cerrar(bool ordenado);

    DestinoEscpos m_destino;
    LimitesEscpos m_limites;
    std::deque<Tarea> m_cola;
    std::optional<Tarea> m_actual;
    Fase m_fase = Fase::Libre;
    /// The limit of the step under way: connecting, a write that makes no progress, the status answer.
    QTimer m_plazo;
    /// The whole job's limit.
    QTimer m_plazoTrabajo;
    /// Looks at how much of the document the printer has taken.
    QTimer m_consulta;
    /// Bytes the printer has taken so far: progress restarts the write limit.
    qint64 m_tomados = 0;
    /// The printer answered a status request on this channel once: from then on it must answer after each
    /// document, since a printer that stopped reading has no other way of showing it once its buffer took the
    /// whole document.
    bool m_contesta = false;
    /// The last document failed because the printer stopped taking bytes: a probe it does not answer proves
    /// nothing about that, since the few bytes of the requests still fit in its buffer.
    bool m_noLee = false;
    QTcpSocket* m_socket = nullptr;
    std::unique_ptr<DispositivoEscpos> m_dispositivo;
    qsizetype m_escritos = 0;
    QByteArray m_respuestas;
    /// The worker's, which outlives every queue.
    const HiloEscpos::AlLeerEstado& m_alLeerEstado;
    std::optional<EstadoEscpos> m_leido;
};

CanalEscpos::CanalEscpos(DestinoEscpos destino, LimitesEscpos limites, const HiloEscpos::AlLeerEstado& alLeerEstado,
                         QObject* padre)
    : QObject(padre), m_destino(std::move(destino)), m_limites(limites), m_alLeerEstado(alLeerEstado) {
    m_plazo.setSingleShot(true);
    connect(&m_plazo, &QTimer::timeout, this, &CanalEscpos::vencer);
    m_plazoTrabajo.setSingleShot(true);
    connect(&m_plazoTrabajo, &QTimer::timeout, this, [this] {
        const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(m_limites.documento).count();
        terminar(QStringLiteral("%1 en %2 s").arg(noTermino()).arg(segundos));
    });
    m_consulta.setInterval(intervaloConsulta);
    connect(&m_consulta, &QTimer::timeout, this, &CanalEscpos::consultar);
}

void CanalEscpos::encolar(Tarea tarea) {
    m_cola.push_back(std::move(tarea));
    if (!m_actual)
        siguiente();
}

void CanalEscpos::quitar(qint64 trabajo) {
    std::erase_if(m_cola, [trabajo](const Tarea& t) { return !t.sondeo && t.trabajo == trabajo; });
    // A job given up on is sent elsewhere: what it still had to send must not reach this printer later and
    // print the document twice.
    if (m_actual && !m_actual->sondeo && m_actual->trabajo == trabajo) {
        cerrar(false);
        terminar(cancelado());
    }
}

void CanalEscpos::siguiente() {
    // This call is queued when a job ends, and a job queued before it came may have started already: starting
    // it again would open a second connection and send its bytes twice, a ticket printed twice.
    if (m_actual)
        return;
    while (!m_actual && !m_cola.empty()) {
        Tarea t = std::move(m_cola.front());
        m_cola.pop_front();
        if (!t.abandonada || !t.abandonada->load())
            m_actual = std::move(t);
    }
    if (!m_actual)
        return;
    m_escritos = 0;
    m_tomados = 0;
    m_respuestas.clear();
    m_leido.reset();
    if (!m_actual->sondeo)
        m_plazoTrabajo.start(m_limites.documento);
    if (m_destino.tipo == DestinoEscpos::Tipo::Tcp)
        conectar();
    else
        abrir();
}

void CanalEscpos::conectar() {
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &CanalEscpos::escribir);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_fase == Fase::Escribiendo)
            consultar();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { recibir(m_socket->readAll()); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CanalEscpos::interrumpir);
    m_fase = Fase::Conectando;
    m_plazo.start(m_limites.conexion);
    // A refused connection may be reported before connectToHost returns: nothing may follow it here.
    m_socket->connectToHost(m_destino.host, m_destino.puerto);
}

void CanalEscpos::abrir() {
    QString error;
    m_dispositivo = abrirDispositivoEscpos(m_destino.ruta, &error);
    if (!m_dispositivo) {
        qCWarning(registroEscpos).noquote() << m_destino.nombre << m_destino.ruta << error;
        terminar(QStringLiteral("no se puede abrir ") + m_destino.ruta);
        return;
    }
    escribir();
}

void CanalEscpos::escribir() {
    if (m_actual->datos.isEmpty()) {
        datosEscritos();
        return;
    }
    m_fase = Fase::Escribiendo;
    m_plazo.start(m_limites.escritura);
    m_consulta.start();
    if (m_socket)
        m_socket->write(m_actual->datos);
    else
        escribirDispositivo();
}

void CanalEscpos::escribirDispositivo() {
    const QByteArray& datos = m_actual->datos;
    QString error;
    const qint64 n = m_dispositivo->escribir(QByteArrayView(datos).sliced(m_escritos), &error);
    if (n < 0) {
        qCWarning(registroEscpos).noquote() << m_destino.nombre << m_destino.ruta << error;
        terminar(cortoLaConexion());
        return;
    }
    m_escritos += n;
    if (m_escritos < datos.size()) {
        // The printer's buffer is full: go on when the device takes more.
        m_dispositivo->esperarEscritura([this] { escribirDispositivo(); });
    }
    consultar();
}

void CanalEscpos::consultar() {
    // "Written" only means this computer took the bytes: the kernel's socket buffer holds a megabyte or more,
    // and a printer that stopped reading acknowledges none of it. The printer has the document once its own
    // network stack acknowledged every byte (a device: once its queue here is empty).
    qint64 entregados = 0;
    qint64 sinConfirmar = 0;
    if (m_socket) {
        // A connection that dropped has no queue to ask about: its error ends the job.
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        entregados = m_actual->datos.size() - m_socket->bytesToWrite();
        sinConfirmar = bytesSinConfirmar(m_socket->socketDescriptor());
    } else {
        entregados = m_escritos;
        sinConfirmar = m_dispositivo->pendientes();
    }
    // A platform that cannot say is trusted with what it took.
    const qint64 tomados = entregados - std::max<qint64>(sinConfirmar, 0);
    if (tomados > m_tomados) {
        m_tomados = tomados;
        m_plazo.start(m_limites.escritura);
    }
    if (m_tomados == m_actual->datos.size())
        datosEscritos();
}

void CanalEscpos::datosEscritos() {
    m_consulta.stop();
    if (m_socket || m_dispositivo->leeEstado())
        pedirEstado();
    else
        terminar({});
}

void CanalEscpos::pedirEstado() {
    // After a document this also tells whether the paper ran out while it printed.
    const QByteArray pedido = pedidoEstado(1) + pedidoEstado(2) + pedidoEstado(4);
    m_fase = Fase::Estado;
    m_respuestas.clear();
    // A printer that answers has the requests behind the document in its buffer: it reads them once it has
    // room, which takes as long as taking any other bytes.
    m_plazo.start(m_contesta && !m_actual->sondeo ? m_limites.escritura : m_limites.estado);
    if (m_socket) {
        m_socket->readAll();
        m_socket->write(pedido);
        return;
    }
    m_dispositivo->leer([this](const QByteArray& bytes) { recibir(bytes); });
    if (m_dispositivo->escribir(pedido, nullptr) != pedido.size()) {
        // No room even for the requests: there is no answer to wait for.
        terminar({});
        return;
    }
}

void CanalEscpos::recibir(const QByteArray& bytes) {
    if (m_fase != Fase::Estado)
        return;
    m_respuestas += bytes;
    if (m_respuestas.size() >= 3)
        concluirEstado();
}

void CanalEscpos::interrumpir() {
    if (m_fase == Fase::Conectando) {
        qCWarning(registroEscpos).noquote() << m_destino.nombre << m_destino.direccion() << m_socket->errorString();
        terminar(noResponde());
    } else if (m_fase == Fase::Escribiendo) {
        terminar(cortoLaConexion());
    } else if (m_fase == Fase::Estado) {
        // An answer proves the printer read every byte before the requests. Without one, "written" only meant
        // the local socket took the bytes: a printer that drops the connection may have lost the job's end.
        if (m_respuestas.isEmpty() && !m_actual->sondeo)
            terminar(cortoLaConexion());
        else
            concluirEstado();
    }
}

void CanalEscpos::vencer() {
    if (m_fase == Fase::Conectando)
        terminar(noResponde());
    else if (m_fase == Fase::Escribiendo)
        terminar(noRecibeDatos());
    else if (m_fase == Fase::Estado && m_respuestas.isEmpty() && m_contesta && !m_actual->sondeo)
        terminar(noRecibeDatos()); // it took the bytes into its buffer and stopped reading them
    else if (m_fase == Fase::Estado)
        concluirEstado();
}

void CanalEscpos::concluirEstado() {
    m_contesta = m_contesta || !m_respuestas.isEmpty();
    const auto respuesta = [this](qsizetype i) {
        return i < m_respuestas.size() ? static_cast<unsigned char>(m_respuestas[i]) : -1;
    };
    // A printer that does not answer, or not all three, is trusted for what it did not say.
    const EstadoEscpos estado = leerEstadoEscpos(respuesta(0), respuesta(1), respuesta(2));
    if (!m_respuestas.isEmpty())
        m_leido = estado;
    terminar(motivoEstado(estado));
}

void CanalEscpos::terminar(const QString& motivo) {
    cerrar(m_fase == Fase::Estado);
    m_fase = Fase::Libre;
    Tarea tarea = std::move(*m_actual);
    m_actual.reset();
    if (!motivo.isEmpty()) {
        qCWarning(registroEscpos).noquote()
            << QStringLiteral("%1 (%2), %3: %4")
                   .arg(m_destino.nombre, m_destino.direccion(),
                        tarea.sondeo ? QStringLiteral("sondeo") : QStringLiteral("trabajo %1").arg(tarea.trabajo),
                        motivo);
    }
    if (tarea.alTerminar)
        tarea.alTerminar(motivo);
    // What the end says of the printer's health. A job given up on says nothing about the printer.
    QString salud = motivo;
    if (m_leido) {
        m_noLee = false;
    } else if (tarea.sondeo && motivo.isEmpty() && (m_contesta || m_noLee)) {
        // A probe is trusted for printing, not for health: a printer that answered before, or took no
        // document, and is silent now has not come back.
        salud = m_noLee ? noRecibeDatos() : noResponde();
    }
    if (!tarea.sondeo && motivo != cancelado())
        m_noLee = motivo == noRecibeDatos() || motivo.startsWith(noTermino());
    const std::optional<EstadoEscpos> leido = std::exchange(m_leido, std::nullopt);
    if (m_alLeerEstado && motivo != cancelado())
        m_alLeerEstado(m_destino, salud, leido);
    // Queued: a row of jobs that fail at once does not nest one call per job.
    QMetaObject::invokeMethod(this, &CanalEscpos::siguiente, Qt::QueuedConnection);
}

void CanalEscpos::cerrar(bool ordenado) {
    m_plazo.stop();
    m_plazoTrabajo.stop();
    m_consulta.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        // Once the status is asked every byte is out; before that, what is left must not linger unsent.
        if (ordenado)
            m_socket->disconnectFromHost();
        else
            m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_dispositivo.reset();
}

/// The printers' queues, on the printers' thread: one per address, so two names for one printer still take
/// turns on it.
class TrabajadorEscpos : public QObject {
public:
    explicit TrabajadorEscpos(LimitesEscpos limites) : m_limites(limites) {}

    CanalEscpos& canal(const DestinoEscpos& destino) {
        CanalEscpos*& c = m_canales[destino.direccion()];
        if (!c)
            c = new CanalEscpos(destino, m_limites, m_alLeerEstado, this);
        return *c;
    }
    CanalEscpos* buscar(const DestinoEscpos& destino) {
        const auto it = m_canales.find(destino.direccion());
        return it == m_canales.end() ? nullptr : it->second;
    }

    HiloEscpos::AlLeerEstado m_alLeerEstado;

private:
    LimitesEscpos m_limites;
    std::map<QString, CanalEscpos*> m_canales;
};

HiloEscpos::HiloEscpos(LimitesEscpos limites) : m_limites(limites), m_trabajador(new TrabajadorEscpos(limites)) {
    m_hilo.setObjectName(QStringLiteral("kestrel-escpos"));
    m_trabajador->moveToThread(&m_hilo);
    m_hilo.start();
}

HiloEscpos::~HiloEscpos() {
    // The queues, sockets and devices go on the thread that made them.
    QMetaObject::invokeMethod(
        m_trabajador, [trabajador = m_trabajador] { delete trabajador; }, Qt::BlockingQueuedConnection);
    m_hilo.quit();
    m_hilo.wait();
}

void HiloEscpos::enviar(const DestinoEscpos& destino, qint64 trabajo, const QByteArray& datos, AlTerminar alTerminar) {
    Tarea tarea{trabajo, datos, false, std::move(alTerminar), nullptr};
    QMetaObject::invokeMethod(
        m_trabajador, [trabajador = m_trabajador, destino, tarea] { trabajador->canal(destino).encolar(tarea); },
        Qt::QueuedConnection);
}

void HiloEscpos::cancelar(const DestinoEscpos& destino, qint64 trabajo) {
    QMetaObject::invokeMethod(
        m_trabajador,
        [trabajador = m_trabajador, destino, trabajo] {
            if (CanalEscpos* c = trabajador->buscar(destino))
                c->quitar(trabajo);
        },
        Qt::QueuedConnection);
}

void HiloEscpos::consultar(const DestinoEscpos& destino) {
    Tarea tarea;
    tarea.sondeo = true;
    QMetaObject::invokeMethod(
        m_trabajador, [trabajador = m_trabajador, destino, tarea] { trabajador->canal(destino).encolar(tarea); },
        Qt::QueuedConnection);
}

void HiloEscpos::fijarAlLeerEstado(AlLeerEstado alLeerEstado) {
    QMetaObject::invokeMethod(
        m_trabajador,
        [trabajador = m_trabajador, alLeerEstado = std::move(alLeerEstado)] {
            trabajador->m_alLeerEstado = alLeerEstado;
        },
        Qt::QueuedConnection);
}

QString HiloEscpos::sondear(const DestinoEscpos& destino) {
    auto promesa = std::make_shared<std::promise<QString>>();
    std::future<QString> respuesta = promesa->get_future();
    Tarea tarea;
    tarea.sondeo = true;
    tarea.abandonada = std::make_shared<std::atomic_bool>(false);
    tarea.alTerminar = [promesa](const QString& motivo) { promesa->set_value(motivo); };
    QMetaObject::invokeMethod(
        m_trabajador, [trabajador = m_trabajador, destino, tarea] { trabajador->canal(destino).encolar(tarea); },
        Qt::QueuedConnection);
    if (respuesta.wait_for(m_limites.conexion + m_limites.estado) == std::future_status::ready)
        return respuesta.get();
    tarea.abandonada->store(true);
    qCInfo(registroEscpos) << destino.nombre << "sigue con trabajos anteriores: se confía en ella sin sondearla";
    return {};
}

} // namespace kestrel
