#include "print/escpos/dispositivo.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

namespace kestrel {

namespace {

/// A descriptor opened without blocking, watched by the event loop of the thread that opened it.
class DispositivoPosix : public DispositivoEscpos {
public:
    DispositivoPosix(int fd, bool leeEstado) : m_fd(fd), m_leeEstado(leeEstado), m_terminal(::isatty(fd) == 1) {}
    ~DispositivoPosix() override {
        // A job may end inside a notifier's own call: the notifiers go later, switched off before the descriptor
        // is closed.
        for (std::unique_ptr<QSocketNotifier>* aviso : {&m_avisoEscritura, &m_avisoLectura}) {
            if (*aviso) {
                (*aviso)->setEnabled(false);
                aviso->release()->deleteLater();
            }
        }
        ::close(m_fd);
    }

    bool leeEstado() const override { return m_leeEstado; }

    qint64 escribir(QByteArrayView datos, QString* error) override {
        qint64 escritos = 0;
        while (escritos < datos.size()) {
            const ssize_t n = ::write(m_fd, datos.data() + escritos, static_cast<std::size_t>(datos.size() - escritos));
            if (n > 0) {
                escritos += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                break; // the printer's buffer is full for now
            } else {
                if (error)
                    *error = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
                return -1;
            }
        }
        return escritos;
    }

    void esperarEscritura(std::function<void()> alPoder) override {
        if (!m_avisoEscritura) {
            m_avisoEscritura = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
            QObject::connect(m_avisoEscritura.get(), &QSocketNotifier::activated, [this] {
                m_avisoEscritura->setEnabled(false);
                // Moved out first: the callback may wait again, setting a new one.
                const std::function<void()> llamar = std::move(m_alPoder);
                if (llamar)
                    llamar();
            });
        }
        m_alPoder = std::move(alPoder);
        m_avisoEscritura->setEnabled(true);
    }

    void leer(std::function<void(const QByteArray&)> alLlegar) override {
        if (!m_leeEstado)
            return;
        char sobrante[64];
        while (::read(m_fd, sobrante, sizeof sobrante) > 0) {
        }
        m_alLlegar = std::move(alLlegar);
        if (!m_avisoLectura) {
            m_avisoLectura = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
            QObject::connect(m_avisoLectura.get(), &QSocketNotifier::activated, [this] { leerDisponible(); });
        }
        m_avisoLectura->setEnabled(true);
    }

    qint64 pendientes() override {
        // A serial line says how much of its output queue is still to go; a USB printer or a file takes the
        // bytes as written.
        int cola = 0;
        if (!m_terminal || ::ioctl(m_fd, TIOCOUTQ, &cola) != 0)
            return 0;
        return cola;
    }

private:
    void leerDisponible() {
        char bytes[16];
        const ssize_t n = ::read(m_fd, bytes, sizeof bytes);
        if (n > 0) {
            // A copy: the answer may end the job, and the job closes this device.
            const std::function<void(const QByteArray&)> llamar = m_alLlegar;
            if (llamar)
                llamar(QByteArray(bytes, n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            m_avisoLectura->setEnabled(false); // nothing more will come: the caller's time limit ends the wait
        }
    }

    int m_fd;
    bool m_leeEstado;
    bool m_terminal;
    std::unique_ptr<QSocketNotifier> m_avisoEscritura;
    std::unique_ptr<QSocketNotifier> m_avisoLectura;
    std::function<void()> m_alPoder;
    std::function<void(const QByteArray&)> m_alLlegar;
};

} // namespace

std::unique_ptr<DispositivoEscpos> abrirDispositivoEscpos(const QString& ruta, QString* error) {
    const QByteArray nombre = QFile::encodeName(ruta);
    // A plain file never answers a status request; a device (a USB printer) may, when it can be read.
    const bool archivo = QFileInfo(ruta).isFile();
    constexpr int comunes = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = -1;
    bool leeEstado = false;
    if (!archivo) {
        fd = ::open(nombre.constData(), O_RDWR | comunes);
        leeEstado = fd >= 0;
    }
    if (fd < 0)
        fd = ::open(nombre.constData(), O_WRONLY | O_APPEND | comunes);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    return std::make_unique<DispositivoPosix>(fd, leeEstado);
}

} // namespace kestrel
