#include "print/escpos/hilo_escpos.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>

#include "print/escpos/estado.h"

namespace kestrel {

Q_LOGGING_CATEGORY(registroEscpos, "kestrel.escpos", QtInfoMsg)

namespace {

QString noResponde() {
    return QStringLiteral("no responde");
}

QString cortoLaConexion() {
    return QStringLiteral("cortó la conexión");
}

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
        Escribiendo,
        Estado,
    };

    void siguiente();
    void conectar();
    void abrir();
    void escribir();
    void escribirDispositivo();
    void datosEscritos();
    void pedirEstado();
    void leerDispositivo();
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
    QTimer m_plazo;
    QTcpSocket* m_socket = nullptr;
    int m_fd = -1;
    /// The device was opened for reading too: it may answer the status requests.
    bool m_leeEstado = false;
    QSocketNotifier* m_avisoEscritura = nullptr;
    QSocketNotifier* m_avisoLectura = nullptr;
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
}

void CanalEscpos::encolar(Tarea tarea) {
    m_cola.push_back(std::move(tarea));
    if (!m_actual)
        siguiente();
}

void CanalEscpos::quitar(qint64 trabajo) {
    std::erase_if(m_cola, [trabajo](const Tarea& t) { return !t.sondeo && t.trabajo == trabajo; });
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
    m_respuestas.clear();
    m_leido.reset();
    if (m_destino.tipo == DestinoEscpos::Tipo::Tcp)
        conectar();
    else
        abrir();
}

void CanalEscpos::conectar() {
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &CanalEscpos::escribir);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_fase == Fase::Escribiendo && m_socket->bytesToWrite() == 0)
            datosEscritos();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { recibir(m_socket->readAll()); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CanalEscpos::interrumpir);
    m_fase = Fase::Conectando;
    m_plazo.start(m_limites.conexion);
    // A refused connection may be reported before connectToHost returns: nothing may follow it here.
    m_socket->connectToHost(m_destino.host, m_destino.puerto);
}

void CanalEscpos::abrir() {
    const QByteArray ruta = QFile::encodeName(m_destino.ruta);
    // A plain file never answers a status request; a device (a USB printer) may, when it can be read.
    const bool archivo = QFileInfo(m_destino.ruta).isFile();
    constexpr int comunes = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    m_leeEstado = false;
    if (!archivo) {
        m_fd = ::open(ruta.constData(), O_RDWR | comunes);
        m_leeEstado = m_fd >= 0;
    }
    if (m_fd < 0)
        m_fd = ::open(ruta.constData(), O_WRONLY | O_APPEND | comunes);
    if (m_fd < 0) {
        const int error = errno;
        qCWarning(registroEscpos).noquote() << m_destino.nombre << m_destino.ruta << std::strerror(error);
        terminar(QStringLiteral("no se puede abrir ") + m_destino.ruta);
        return;
    }
    if (m_leeEstado) {
        m_avisoLectura = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        m_avisoLectura->setEnabled(false);
        connect(m_avisoLectura, &QSocketNotifier::activated, this, &CanalEscpos::leerDispositivo);
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
    if (m_socket)
        m_socket->write(m_actual->datos);
    else
        escribirDispositivo();
}

void CanalEscpos::escribirDispositivo() {
    if (m_avisoEscritura)
        m_avisoEscritura->setEnabled(false);
    const QByteArray& datos = m_actual->datos;
    while (m_escritos < datos.size()) {
        const ssize_t n =
            ::write(m_fd, datos.constData() + m_escritos, static_cast<std::size_t>(datos.size() - m_escritos));
        if (n > 0) {
            m_escritos += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The printer's buffer is full: go on when the device takes more.
            if (!m_avisoEscritura) {
                m_avisoEscritura = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
                connect(m_avisoEscritura, &QSocketNotifier::activated, this, &CanalEscpos::escribirDispositivo);
            }
            m_avisoEscritura->setEnabled(true);
            return;
        } else {
            const int error = n < 0 ? errno : EIO;
            qCWarning(registroEscpos).noquote() << m_destino.nombre << m_destino.ruta << std::strerror(error);
            terminar(cortoLaConexion());
            return;
        }
    }
    datosEscritos();
}

void CanalEscpos::datosEscritos() {
    if (m_socket || m_leeEstado)
        pedirEstado();
    else
        terminar({});
}

void CanalEscpos::pedirEstado() {
    // After a document this also tells whether the paper ran out while it printed.
    const QByteArray pedido = pedidoEstado(1) + pedidoEstado(2) + pedidoEstado(4);
    m_fase = Fase::Estado;
    m_respuestas.clear();
    m_plazo.start(m_limites.estado);
    if (m_socket) {
        m_socket->readAll();
        m_socket->write(pedido);
        return;
    }
    char sobrante[64];
    while (::read(m_fd, sobrante, sizeof sobrante) > 0) {
    }
    if (::write(m_fd, pedido.constData(), static_cast<std::size_t>(pedido.size())) != pedido.size()) {
        // No room even for the requests: there is no answer to wait for.
        terminar({});
        return;
    }
    m_avisoLectura->setEnabled(true);
}

void CanalEscpos::leerDispositivo() {
    char bytes[16];
    const ssize_t n = ::read(m_fd, bytes, sizeof bytes);
    if (n > 0)
        recibir(QByteArray(bytes, n));
    else if (n == 0 || (errno != EAGAIN && errno != EINTR))
        m_avisoLectura->setEnabled(false); // nothing more will come: the time limit ends the wait
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
        terminar(QStringLiteral("no recibe datos"));
    else if (m_fase == Fase::Estado)
        concluirEstado();
}

void CanalEscpos::concluirEstado() {
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
    if (m_alLeerEstado)
        m_alLeerEstado(m_destino, motivo, std::exchange(m_leido, std::nullopt));
    // Queued: a row of jobs that fail at once does not nest one call per job.
    QMetaObject::invokeMethod(this, &CanalEscpos::siguiente, Qt::QueuedConnection);
}

void CanalEscpos::cerrar(bool ordenado) {
    m_plazo.stop();
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
    for (QSocketNotifier** aviso : {&m_avisoEscritura, &m_avisoLectura}) {
        if (*aviso) {
            (*aviso)->setEnabled(false);
            (*aviso)->deleteLater();
            *aviso = nullptr;
        }
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
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
