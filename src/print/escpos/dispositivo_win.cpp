#include "print/escpos/dispositivo.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QWinEventNotifier>

#include "plataforma/error_windows.h"

namespace kestrel {

namespace {

Q_LOGGING_CATEGORY(registroDispositivo, "kestrel.impresion")

/// A plain file: written at once, done when written, never answers.
class ArchivoWin : public DispositivoEscpos {
public:
    explicit ArchivoWin(HANDLE archivo) : m_archivo(archivo) {}
    ~ArchivoWin() override { ::CloseHandle(m_archivo); }

    bool leeEstado() const override { return false; }

    qint64 escribir(QByteArrayView datos, QString* error) override {
        qint64 escritos = 0;
        while (escritos < datos.size()) {
            DWORD n = 0;
            const DWORD pedido = static_cast<DWORD>(std::min<qint64>(datos.size() - escritos, 1 << 20));
            if (!::WriteFile(m_archivo, datos.data() + escritos, pedido, &n, nullptr) || n == 0) {
                if (error)
                    *error = textoErrorWindows(::GetLastError());
                return -1;
            }
            escritos += n;
        }
        return escritos;
    }
    void esperarEscritura(std::function<void()> alPoder) override { alPoder(); }
    void leer(std::function<void(const QByteArray&)>) override {}
    qint64 pendientes() override { return 0; }

private:
    HANDLE m_archivo;
};

/// One overlapped operation: its event, watched by the event loop of the device's thread, and its buffer.
/// Both must outlive the operation, so a device that goes while one is under way cancels it first.
struct Operacion {
    OVERLAPPED solapado{};
    QByteArray datos;
    bool enCurso = false;
    std::unique_ptr<QWinEventNotifier> aviso;

    Operacion() { solapado.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Operacion() {
        if (aviso) {
            // The device may go inside this notifier's own call: the notifier goes later, switched off, and
            // takes the event with it.
            aviso->setEnabled(false);
            HANDLE evento = solapado.hEvent;
            QObject::connect(aviso.get(), &QObject::destroyed, [evento] { ::CloseHandle(evento); });
            aviso.release()->deleteLater();
        } else {
            ::CloseHandle(solapado.hEvent);
        }
    }
    /// How the operation ended, without waiting: false while it is still under way.
    bool terminada(HANDLE h, DWORD* n, DWORD* error) {
        *error = 0;
        if (::GetOverlappedResult(h, &solapado, n, FALSE))
            return true;
        *error = ::GetLastError();
        return *error != ERROR_IO_INCOMPLETE;
    }
};

/// A device (a serial line such as COM3, a printer port, a \\.\ path) opened for overlapped I/O, so nothing on
/// it blocks the printers' thread: one write and one read under way at most, each announced by its event.
class DispositivoWin : public DispositivoEscpos {
public:
    DispositivoWin(HANDLE h, bool leeEstado) : m_h(h), m_leeEstado(leeEstado) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        m_serie = ::GetCommState(m_h, &dcb);
        if (m_serie) {
            // A read returns what arrived, or waits for the first byte up to a second and returns empty; writes
            // never time out (the caller's limits do).
            COMMTIMEOUTS plazos{MAXDWORD, MAXDWORD, 1000, 0, 0};
            ::SetCommTimeouts(m_h, &plazos);
        }
    }
    ~DispositivoWin() override {
        for (std::unique_ptr<Operacion>* op : {&m_escritura, &m_lectura}) {
            if (!(*op)->enCurso)
                continue;
            ::CancelIoEx(m_h, &(*op)->solapado);
            // A cancelled operation ends at once on the drivers that matter; one that does not keeps its
            // buffer and event for ever rather than have Windows write into freed memory.
            if (::WaitForSingleObject((*op)->solapado.hEvent, 2000) != WAIT_OBJECT_0) {
                qCWarning(registroDispositivo) << "un dispositivo no cancelo su operacion pendiente";
                if ((*op)->aviso)
                    (*op)->aviso->setEnabled(false);
                op->release();
            }
        }
        ::CloseHandle(m_h);
    }

    bool leeEstado() const override { return m_leeEstado; }

    qint64 escribir(QByteArrayView datos, QString* error) override {
        if (m_escritura->enCurso && !avanzarEscritura())
            return 0; // the device has not taken the last bytes yet
        if (!m_errorEscritura.isEmpty()) {
            if (error)
                *error = m_errorEscritura;
            return -1;
        }
        // The bytes are ours once copied: they count as pending until the device takes them.
        constexpr qsizetype tramo = 64 * 1024;
        m_escritura->datos = datos.first(std::min(datos.size(), tramo)).toByteArray();
        const qint64 tomados = m_escritura->datos.size();
        if (!iniciarEscritura()) {
            if (error)
                *error = m_errorEscritura;
            return -1;
        }
        return tomados;
    }

    void esperarEscritura(std::function<void()> alPoder) override {
        m_alPoder = std::move(alPoder);
        if (!m_escritura->aviso) {
            m_escritura->aviso = std::make_unique<QWinEventNotifier>(m_escritura->solapado.hEvent);
            QObject::connect(m_escritura->aviso.get(), &QWinEventNotifier::activated, [this] {
                if (m_escritura->enCurso && !avanzarEscritura())
                    return;
                m_escritura->aviso->setEnabled(false);
                // Moved out first: the callback may wait again, or close this device.
                const std::function<void()> llamar = std::move(m_alPoder);
                if (llamar)
                    llamar();
            });
        }
        // The event stays set once the write ended, so a write that ended meanwhile is seen at once.
        m_escritura->aviso->setEnabled(true);
    }

    void leer(std::function<void(const QByteArray&)> alLlegar) override {
        if (!m_leeEstado)
            return;
        if (m_lectura->enCurso) {
            ::CancelIoEx(m_h, &m_lectura->solapado);
            DWORD n = 0;
            ::GetOverlappedResult(m_h, &m_lectura->solapado, &n, TRUE);
            m_lectura->enCurso = false;
        }
        if (m_serie)
            ::PurgeComm(m_h, PURGE_RXCLEAR);
        m_alLlegar = std::move(alLlegar);
        if (!m_lectura->aviso) {
            m_lectura->aviso = std::make_unique<QWinEventNotifier>(m_lectura->solapado.hEvent);
            QObject::connect(m_lectura->aviso.get(), &QWinEventNotifier::activated, [this] { lecturaTerminada(); });
        }
        iniciarLectura();
    }

    qint64 pendientes() override {
        if (m_escritura->enCurso)
            avanzarEscritura();
        // A failed write never leaves: the caller's limit fails the job.
        qint64 cola = m_escritura->enCurso || !m_errorEscritura.isEmpty() ? m_escritura->datos.size() : 0;
        COMSTAT estado{};
        DWORD errores = 0;
        if (m_serie && ::ClearCommError(m_h, &errores, &estado))
            cola += estado.cbOutQue;
        return cola;
    }

private:
    /// Starts writing m_escritura->datos; false with m_errorEscritura when the device refused it.
    bool iniciarEscritura() {
        ::ResetEvent(m_escritura->solapado.hEvent);
        if (::WriteFile(m_h, m_escritura->datos.constData(), static_cast<DWORD>(m_escritura->datos.size()), nullptr,
                        &m_escritura->solapado) ||
            ::GetLastError() == ERROR_IO_PENDING) {
            m_escritura->enCurso = true;
            avanzarEscritura();
            return m_errorEscritura.isEmpty();
        }
        m_errorEscritura = textoErrorWindows(::GetLastError());
        return false;
    }

    /// Looks at the write under way without waiting; true once it is over (all taken, or failed). A device
    /// that took part of it is given the rest.
    bool avanzarEscritura() {
        DWORD n = 0;
        DWORD error = 0;
        if (!m_escritura->terminada(m_h, &n, &error))
            return false;
        m_escritura->enCurso = false;
        if (error != 0) {
            m_errorEscritura = textoErrorWindows(error);
            qCWarning(registroDispositivo).noquote() << m_errorEscritura;
            return true;
        }
        m_escritura->datos.remove(0, n);
        if (m_escritura->datos.isEmpty())
            return true;
        if (n == 0) {
            m_errorEscritura = textoErrorWindows(ERROR_WRITE_FAULT);
            return true;
        }
        iniciarEscritura();
        return !m_escritura->enCurso;
    }

    void iniciarLectura() {
        m_lectura->datos.resize(16);
        ::ResetEvent(m_lectura->solapado.hEvent);
        if (::ReadFile(m_h, m_lectura->datos.data(), static_cast<DWORD>(m_lectura->datos.size()), nullptr,
                       &m_lectura->solapado) ||
            ::GetLastError() == ERROR_IO_PENDING) {
            // Even an immediate end sets the event: the answer is always given from the notifier.
            m_lectura->enCurso = true;
            m_lectura->aviso->setEnabled(true);
        } else {
            m_lectura->aviso->setEnabled(false); // nothing more will come: the caller's time limit ends the wait
        }
    }

    void lecturaTerminada() {
        DWORD n = 0;
        DWORD error = 0;
        if (!m_lectura->enCurso || !m_lectura->terminada(m_h, &n, &error))
            return;
        m_lectura->enCurso = false;
        if (error != 0 || (n == 0 && !m_serie)) {
            m_lectura->aviso->setEnabled(false);
            return;
        }
        const QByteArray llegados = m_lectura->datos.first(n);
        // The next read starts before the answer is given: the answer may end the job, and the job closes
        // this device, which then cancels that read.
        iniciarLectura();
        if (llegados.isEmpty())
            return;
        const std::function<void(const QByteArray&)> llamar = m_alLlegar;
        if (llamar)
            llamar(llegados);
    }

    HANDLE m_h;
    bool m_leeEstado;
    bool m_serie = false;
    std::unique_ptr<Operacion> m_escritura = std::make_unique<Operacion>();
    std::unique_ptr<Operacion> m_lectura = std::make_unique<Operacion>();
    QString m_errorEscritura;
    std::function<void()> m_alPoder;
    std::function<void(const QByteArray&)> m_alLlegar;
};

/// COM1 to COM9 open by name, COM10 and above only through the device namespace: every port goes through it.
QString nombreDispositivo(const QString& ruta) {
    static const QRegularExpression puerto(QStringLiteral("^(COM|LPT)[0-9]+:?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (puerto.match(ruta).hasMatch()) {
        QString nombre = ruta;
        if (nombre.endsWith(QLatin1Char(':')))
            nombre.chop(1);
        return QStringLiteral("\\\\.\\") + nombre;
    }
    return ruta;
}

} // namespace

std::unique_ptr<DispositivoEscpos> abrirDispositivoEscpos(const QString& ruta, QString* error) {
    const QString nombre = nombreDispositivo(ruta);
    const std::wstring ancho = nombre.toStdWString();
    // A plain file never answers a status request; a device may, when it can be read.
    if (nombre == ruta && QFileInfo(ruta).isFile()) {
        HANDLE archivo = ::CreateFileW(ancho.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (archivo == INVALID_HANDLE_VALUE) {
            if (error)
                *error = textoErrorWindows(::GetLastError());
            return nullptr;
        }
        return std::make_unique<ArchivoWin>(archivo);
    }
    bool leeEstado = true;
    HANDLE h = ::CreateFileW(ancho.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
        leeEstado = false;
        h = ::CreateFileW(ancho.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) {
        if (error)
            *error = textoErrorWindows(::GetLastError());
        return nullptr;
    }
    return std::make_unique<DispositivoWin>(h, leeEstado);
}

} // namespace kestrel
