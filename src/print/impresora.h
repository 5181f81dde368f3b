#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

#include "json/decimal.h"
#include "print/estado_impresora.h"

namespace kestrel {

/// One item of a printed line: a text printed as it stands, a number printed as the printer writes numbers
/// (one blank or the minus sign before, one blank after), or a move to a 1-based column.
struct ElementoLinea {
    enum class Tipo {
        Texto,
        Numero,
        Columna,
    };
    Tipo tipo = Tipo::Texto;
    QString texto;
    Decimal numero;
    int columna = 1;

    static ElementoLinea deTexto(const QString& t) { return {Tipo::Texto, t, {}, 1}; }
    static ElementoLinea deNumero(const Decimal& n) { return {Tipo::Numero, {}, n, 1}; }
    static ElementoLinea deColumna(int c) { return {Tipo::Columna, {}, {}, c}; }
};
using Linea = QList<ElementoLinea>;

/// The current-printer operations every document is printed with. Printer units are twips (1/1440 inch);
/// columns are counted in the font's average character width. Operations on a printer that cannot take a
/// job raise FalloPlataforma.
class Impresora {
public:
    virtual ~Impresora() = default;

    /// The printer's name as the system lists it; raises when the printer is not usable.
    virtual QString nombreDispositivo() const = 0;

    virtual float tamanoFuente() const = 0;
    virtual void fijarTamanoFuente(float puntos) = 0;
    virtual QString nombreFuente() const = 0;
    virtual void fijarNombreFuente(const QString& nombre) = 0;
    virtual bool negrita() const = 0;
    virtual void fijarNegrita(bool activa) = 0;
    /// The further emphasis flag the kitchen tickets switch off.
    virtual void fijarEnfasis(bool activo) = 0;

    /// Prints a line of items. A column position n moves to column n (below 1 means 1); when the print
    /// position is already past it, printing continues at column n of the next line. With saltoLinea false
    /// the next call continues on the same line. An empty line advances the paper by one line.
    virtual void imprimir(const Linea& elementos, bool saltoLinea = true) = 0;

    /// Width and height of a text in the current font, in twips.
    virtual double anchoTexto(const QString& texto) = 0;
    virtual double altoTexto(const QString& texto) = 0;

    /// Draws the picture stored at ruta with its top-left corner at (x, y) and the given size, in twips.
    /// Drawing does not move the print position. Raises when the file is not a readable picture.
    virtual void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) = 0;

    /// Checks that the printer can take a job, without putting anything on paper; raises when it cannot.
    virtual void sondear() = 0;
    /// Closes the probe: what is printed afterwards goes on in the same document.
    virtual void cerrarSondeo() = 0;
    /// Ends the document: everything printed since the last end goes to the printer as one job.
    virtual void finDocumento() = 0;
    /// Drops everything printed since the last end, so a failed ticket is never glued to the next one.
    virtual void descartarDocumento() = 0;
};

/// How a job handed to the spooler stands.
struct EstadoCola {
    enum class Fin {
        /// Queued or printing: not on paper yet.
        Pendiente,
        /// On paper: the spooler completed it.
        Impreso,
        /// Not on paper and never going to be unless someone acts: a stopped or paused queue, a stopped, held,
        /// aborted or canceled job. motivo says why.
        Fallido,
        /// The spooler was not asked: it did not answer in time, is busy with a call that did not come back,
        /// or cannot be reached. Says nothing of the job, which may be on paper already; motivo says why.
        SinRespuesta,
        /// The spooler answers but no longer knows the job (its history was cleared, or it lost its spool):
        /// the job may or may not have printed.
        Desconocido,
    };
    Fin fin = Fin::Pendiente;
    /// Why it failed, in the cashier's words ("sin papel", "tapa abierta", "detenida", ...).
    QString motivo;
};

/// The printers installed on this PC, one of which is current.
class SistemaImpresion {
public:
    virtual ~SistemaImpresion() = default;

    /// Device names of the installed printers, in the system's order (indices from 0).
    virtual QStringList impresoras() = 0;
    /// The default printer's device name; empty when there is none.
    virtual QString predeterminada() = 0;
    /// Makes printer indice current; raises (fuera de intervalo) for an index that is not installed.
    virtual void seleccionar(int indice) = 0;
    /// The current printer. Before any selection it is the default printer (or an unusable one when none).
    virtual Impresora& actual() = 0;
    /// Sends bytes untouched to a printer's queue (the cash-drawer pulse); raises on failure.
    virtual void escribirCrudo(const QString& impresora, const QByteArray& datos) = 0;
    /// Natural size of a picture in hundredths of a millimetre (96 dpi when the file states none); raises
    /// when the file is not a readable picture.
    virtual QSize tamanoImagen(const QString& ruta) = 0;

    // Following a document until it is on paper. Printers without a spooler finish a document as soon as it
    // is handed over, and keep these defaults.

    /// The spooler's number of the job the last ended document or raw write became, forgetting it; 0 when
    /// there is none.
    virtual qint64 tomarTrabajo() { return 0; }
    /// Asks, away from the caller's thread, how job trabajo of that printer stands. The contract every system
    /// keeps, whatever happens to its spooler:
    /// - respuesta is called exactly once for every call, never from inside this call, always on the thread
    ///   that called (that thread runs an event loop);
    /// - it is called within a bounded time (at most twice the system's own time limit, plus the time calls
    ///   already queued take): a spooler that does not answer, or a thread of the system stuck in an earlier
    ///   call, gives SinRespuesta with the reason instead of no call at all;
    /// - Impreso only when the spooler says the job completed; Fallido only when it says the job is not done
    ///   and will not be without someone acting on it; Desconocido when it answers that it does not know the
    ///   job; SinRespuesta never implies anything about the job;
    /// - it never raises, and a caller may ask again as soon as it has its answer.
    virtual void consultarTrabajo(const QString& impresora, qint64 trabajo,
                                  std::function<void(const EstadoCola&)> respuesta) {
        Q_UNUSED(impresora);
        Q_UNUSED(trabajo);
        QTimer::singleShot(0, [respuesta = std::move(respuesta)] { respuesta({EstadoCola::Fin::Impreso, {}}); });
    }
    /// Cancels that job so it never prints later, and returns once the spooler has taken the cancel (a job
    /// that already ended, or that the spooler does not know, counts as canceled: ask consultarTrabajo to
    /// learn whether it completed first). Raises FalloPlataforma when the spooler cannot be reached or does
    /// not answer in time: the job is then NOT canceled and may still print. May block up to the system's
    /// time limit. Job 0 is no job and is never sent to the spooler.
    virtual void cancelarTrabajo(const QString& impresora, qint64 trabajo) {
        Q_UNUSED(impresora);
        Q_UNUSED(trabajo);
    }
    /// A document or raw write for that printer that raised the no-answer failure may still have reached the
    /// spooler: the call goes on after its caller stopped waiting. Once that call is over: the number of the job
    /// the spooler made for it (follow it; never send the document again) or 0 when it made none or nothing is
    /// in doubt; no value while the call is still under way. Asking forgets an answer given; each new document
    /// or raw write for that printer replaces the doubt. Never blocks.
    virtual std::optional<qint64> trabajoEnDuda(const QString& impresora) {
        Q_UNUSED(impresora);
        return 0;
    }
    /// False while calls for that printer are known to go unanswered (the last one timed out and the system
    /// has not answered since), so a caller can hold documents for it instead of waiting on it again. Never
    /// blocks. Systems that always answer keep the default.
    virtual bool responde(const QString& impresora) {
        Q_UNUSED(impresora);
        return true;
    }

    // Printer health. A system reports what it learns of its printers to one observer, on the caller's thread:
    // the answers to sondearEstados and what it hears around documents. A system that knows nothing of its
    // printers' health reports nothing.

    /// Where the states go from now on.
    virtual void observarEstados(std::function<void(const LecturaImpresora&)> observador) {
        m_observadorEstados = std::move(observador);
    }
    /// Asks every printer of the system how it stands, without waiting: the answers reach the observer later
    /// (or at once, for printers that need no asking). Never blocks the caller.
    virtual void sondearEstados() {}

protected:
    void avisarEstado(const LecturaImpresora& lectura) {
        if (m_observadorEstados)
            m_observadorEstados(lectura);
    }
    /// For answers that come back from another thread, after this object may be gone.
    const std::function<void(const LecturaImpresora&)>& observadorEstados() const { return m_observadorEstados; }

private:
    std::function<void(const LecturaImpresora&)> m_observadorEstados;
};

} // namespace kestrel
