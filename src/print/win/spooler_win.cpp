#include "print/win/spooler_win.h"

#include <string>
#include <vector>

#include <windows.h>

#include <winspool.h>

#include "json/fallo.h"
#include "plataforma/error_windows.h"

namespace kestrel {

static_assert(bitspooler::trabajoPausado == JOB_STATUS_PAUSED && bitspooler::trabajoError == JOB_STATUS_ERROR &&
              bitspooler::trabajoBorrandose == JOB_STATUS_DELETING &&
              bitspooler::trabajoEnCola == JOB_STATUS_SPOOLING &&
              bitspooler::trabajoImprimiendo == JOB_STATUS_PRINTING &&
              bitspooler::trabajoFueraDeLinea == JOB_STATUS_OFFLINE &&
              bitspooler::trabajoSinPapel == JOB_STATUS_PAPEROUT && bitspooler::trabajoImpreso == JOB_STATUS_PRINTED &&
              bitspooler::trabajoBorrado == JOB_STATUS_DELETED &&
              bitspooler::trabajoBloqueado == JOB_STATUS_BLOCKED_DEVQ &&
              bitspooler::trabajoIntervencion == JOB_STATUS_USER_INTERVENTION &&
              bitspooler::trabajoCompleto == JOB_STATUS_COMPLETE);
static_assert(bitspooler::impresoraPausada == PRINTER_STATUS_PAUSED &&
              bitspooler::impresoraError == PRINTER_STATUS_ERROR &&
              bitspooler::impresoraBorrandose == PRINTER_STATUS_PENDING_DELETION &&
              bitspooler::impresoraAtasco == PRINTER_STATUS_PAPER_JAM &&
              bitspooler::impresoraSinPapel == PRINTER_STATUS_PAPER_OUT &&
              bitspooler::impresoraProblemaPapel == PRINTER_STATUS_PAPER_PROBLEM &&
              bitspooler::impresoraFueraDeLinea == PRINTER_STATUS_OFFLINE &&
              bitspooler::impresoraNoDisponible == PRINTER_STATUS_NOT_AVAILABLE &&
              bitspooler::impresoraIntervencion == PRINTER_STATUS_USER_INTERVENTION &&
              bitspooler::impresoraTapaAbierta == PRINTER_STATUS_DOOR_OPEN &&
              bitspooler::impresoraBandejaLlena == PRINTER_STATUS_OUTPUT_BIN_FULL &&
              bitspooler::impresoraSinToner == PRINTER_STATUS_NO_TONER &&
              bitspooler::impresoraServidorDesconocido == PRINTER_STATUS_SERVER_UNKNOWN);
// MinGW's winspool.h lacks PRINTER_STATUS_SERVER_OFFLINE (0x02000000 in Windows' own headers).

namespace {

/// A printer failure with Windows' reason, or the no-answer failure when the spooler service did not answer.
[[noreturn]] void fallaSpooler(DWORD error, const QString& descripcion) {
    if (spoolerSinRespuesta(error))
        throw FalloPlataforma(numerofallo::dispositivoNoDisponible, descripcionSpoolerNoResponde() +
                                                                        QStringLiteral(" (") +
                                                                        textoErrorWindows(error) + QLatin1Char(')'));
    fallaImpresora(descripcion + textoErrorWindows(error));
}

/// An open printer of the spooler, closed when it goes.
class Cola {
public:
    explicit Cola(const QString& impresora) : m_nombre(impresora.toStdWString()) {
        if (!::OpenPrinterW(m_nombre.data(), &m_asidero, nullptr))
            fallaSpooler(::GetLastError(),
                         QStringLiteral("La impresora ") + impresora + QStringLiteral(" no existe en Windows: "));
    }
    ~Cola() { ::ClosePrinter(m_asidero); }
    Cola(const Cola&) = delete;
    Cola& operator=(const Cola&) = delete;
    HANDLE asidero() const { return m_asidero; }

private:
    std::wstring m_nombre;
    HANDLE m_asidero = nullptr;
};

struct BitsImpresora {
    quint32 bits = 0;
    /// How many jobs the printer's queue holds.
    quint32 trabajos = 0;
};

/// The printer's PRINTER_INFO_2 status bits and job count.
BitsImpresora estadoImpresora(const Cola& cola, const QString& impresora) {
    DWORD necesario = 0;
    ::GetPrinterW(cola.asidero(), 2, nullptr, 0, &necesario);
    std::vector<BYTE> datos(necesario ? necesario : 1);
    if (!::GetPrinterW(cola.asidero(), 2, datos.data(), necesario, &necesario))
        fallaSpooler(::GetLastError(),
                     QStringLiteral("Windows no dio el estado de ") + impresora + QStringLiteral(": "));
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(datos.data());
    return {info->Status, info->cJobs};
}

} // namespace

void comprobarImpresoraSpooler(const QString& impresora) {
    const Cola cola(impresora);
    const QString motivo = motivoImpresoraSpooler(estadoImpresora(cola, impresora).bits);
    if (!motivo.isEmpty())
        fallaImpresora(QStringLiteral("La impresora ") + impresora + QStringLiteral(" esta detenida (") + motivo +
                       QLatin1Char(')'));
}

qint64 enviarCrudoSpooler(const QString& impresora, const QByteArray& datos, const QString& titulo,
                          std::atomic<qint64>* creado) {
    const Cola cola(impresora);
    std::wstring documento = titulo.toStdWString();
    std::wstring tipo = L"RAW";
    DOC_INFO_1W info{documento.data(), nullptr, tipo.data()};
    const DWORD trabajo = ::StartDocPrinterW(cola.asidero(), 1, reinterpret_cast<BYTE*>(&info));
    if (trabajo == 0)
        fallaSpooler(::GetLastError(),
                     QStringLiteral("Windows no acepto el trabajo para ") + impresora + QStringLiteral(": "));
    creado->store(trabajo);
    DWORD escritos = 0;
    bool enviado = ::StartPagePrinter(cola.asidero());
    enviado = enviado && ::WritePrinter(cola.asidero(), const_cast<char*>(datos.constData()),
                                        static_cast<DWORD>(datos.size()), &escritos);
    enviado = enviado && escritos == static_cast<DWORD>(datos.size());
    const DWORD error = ::GetLastError();
    enviado = ::EndPagePrinter(cola.asidero()) && enviado;
    if (!enviado) {
        // Half a drawer pulse must not print later.
        ::AbortPrinter(cola.asidero());
        fallaImpresora(QStringLiteral("No se pudo enviar a ") + impresora + QStringLiteral(": ") +
                       textoErrorWindows(error));
    }
    if (!::EndDocPrinter(cola.asidero()))
        fallaImpresora(QStringLiteral("No se pudo enviar a ") + impresora + QStringLiteral(": ") +
                       textoErrorWindows(::GetLastError()));
    return trabajo;
}

qint64 buscarTrabajoSpooler(const QString& impresora, const QString& titulo) {
    const Cola cola(impresora);
    DWORD necesario = 0;
    DWORD cuantos = 0;
    ::EnumJobsW(cola.asidero(), 0, 0xFFFFFFFF, 1, nullptr, 0, &necesario, &cuantos);
    if (necesario == 0)
        return 0;
    std::vector<BYTE> datos(necesario);
    if (!::EnumJobsW(cola.asidero(), 0, 0xFFFFFFFF, 1, datos.data(), necesario, &necesario, &cuantos))
        fallaSpooler(::GetLastError(),
                     QStringLiteral("Windows no dio los trabajos de ") + impresora + QStringLiteral(": "));
    const auto* trabajos = reinterpret_cast<const JOB_INFO_1W*>(datos.data());
    qint64 encontrado = 0;
    for (DWORD i = 0; i < cuantos; ++i)
        if (trabajos[i].pDocument && QString::fromWCharArray(trabajos[i].pDocument) == titulo)
            encontrado = std::max<qint64>(encontrado, trabajos[i].JobId);
    return encontrado;
}

LecturaSpooler leerTrabajoSpooler(const QString& impresora, qint64 trabajo) {
    const Cola cola(impresora);
    LecturaSpooler lectura;
    const BitsImpresora estado = estadoImpresora(cola, impresora);
    lectura.impresora = estado.bits;
    const DWORD id = static_cast<DWORD>(trabajo);
    DWORD necesario = 0;
    ::GetJobW(cola.asidero(), id, 2, nullptr, 0, &necesario);
    std::vector<BYTE> datos(necesario ? necesario : 1);
    if (!::GetJobW(cola.asidero(), id, 2, datos.data(), necesario, &necesario)) {
        const DWORD error = ::GetLastError();
        // ERROR_INVALID_PARAMETER is Windows' "no such job". A spooler that cannot look jobs up at all (Wine
        // answers ERROR_INVALID_HANDLE) still counts them: an empty queue no longer holds this one.
        if (error == ERROR_INVALID_PARAMETER || estado.trabajos == 0) {
            lectura.presente = false;
            return lectura;
        }
        fallaSpooler(error, QStringLiteral("Windows no dio el trabajo ") + QString::number(trabajo) +
                                QStringLiteral(" de ") + impresora + QStringLiteral(": "));
    }
    const auto* info = reinterpret_cast<const JOB_INFO_2W*>(datos.data());
    lectura.trabajo = info->Status;
    if (info->pStatus)
        lectura.mensaje = QString::fromWCharArray(info->pStatus);
    return lectura;
}

void cancelarTrabajoSpooler(const QString& impresora, qint64 trabajo) {
    const Cola cola(impresora);
    if (!::SetJobW(cola.asidero(), static_cast<DWORD>(trabajo), 0, nullptr, JOB_CONTROL_DELETE)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_INVALID_PARAMETER)
            fallaSpooler(error, QStringLiteral("No se pudo cancelar el trabajo ") + QString::number(trabajo) +
                                    QStringLiteral(": "));
    }
}

QList<LecturaImpresora> leerEstadosSpooler() {
    constexpr DWORD cuales = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD necesario = 0;
    DWORD cuantas = 0;
    ::EnumPrintersW(cuales, nullptr, 2, nullptr, 0, &necesario, &cuantas);
    if (necesario == 0) {
        const DWORD error = ::GetLastError();
        if (spoolerSinRespuesta(error))
            fallaSpooler(error, {});
        return {};
    }
    std::vector<BYTE> datos(necesario);
    if (!::EnumPrintersW(cuales, nullptr, 2, datos.data(), necesario, &necesario, &cuantas))
        fallaSpooler(::GetLastError(), QStringLiteral("Windows no dio sus impresoras: "));
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(datos.data());
    QList<LecturaImpresora> lecturas;
    for (DWORD i = 0; i < cuantas; ++i) {
        if (!info[i].pPrinterName)
            continue;
        lecturas.append({QString::fromWCharArray(info[i].pPrinterName), ClaseImpresora::Windows,
                         info[i].pPortName ? QString::fromWCharArray(info[i].pPortName) : QString(),
                         estadoImpresoraSpooler(info[i].Status)});
    }
    return lecturas;
}

void tocarSpooler() {
    // The default printer's name is one short call to the spooler service, whatever the printers do.
    DWORD necesario = 0;
    if (!::GetDefaultPrinterW(nullptr, &necesario)) {
        const DWORD error = ::GetLastError();
        if (spoolerSinRespuesta(error))
            fallaSpooler(error, {});
    }
}

} // namespace kestrel
