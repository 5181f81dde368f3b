#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <deque>
#include <map>

#include "print/impresora.h"
#include "print/trabajo.h"

namespace kestrel {

class Avisos;
class GrabadorTrabajos;

/// A document the spooler took as a job, with the entry that waits for its end.
struct TrabajoSeguido {
    qint64 numero = 0;
    TipoTrabajo tipo = TipoTrabajo::Comanda;
    QString pedida;
    QString usada;
    /// What the entry reads once the job is on paper, and why.
    EstadoTrabajo estado = EstadoTrabajo::Impreso;
    QString motivo;
    DocumentoTrabajo documento;
    qint64 idCups = 0;
    /// Already the copy sent to the default printer: it is never sent again.
    bool reenvio = false;
};

/// Follows every job until it is on paper, and holds the documents whose printer system does not answer.
///
/// A followed job is asked about (SistemaImpresion::consultarTrabajo, away from this thread) every interval,
/// one question at a time; a question without an answer after esperaRespuesta counts as unanswered. Only the
/// spooler's own word ends it: completed is printed; stopped, held, aborted or canceled, or still pending at the
/// limit, is canceled and, once the spooler confirms the job did not complete meanwhile, sent once to the
/// default printer headed "Error en Impresora " + the failed printer, with a balloon. While the spooler does
/// not answer nothing is decided: past the limit the entry stays "enviando" with the reason until it answers,
/// and a cancel that cannot be made is tried again after its next answer. A job the spooler no longer knows is
/// "desconocido": it may have printed, so it is never resent blind.
///
/// A held document (retener) was not sent because its printer system did not answer; it is sent, in order with
/// the others held for the same printer, as soon as that printer answers, and only at the limit falls back to
/// the default printer as above (or ends "fallido"). One that was being sent when the system stopped answering
/// waits, whatever the limit, until the spooler can say whether it took it (SistemaImpresion::trabajoEnDuda):
/// then it is followed, or sent. Drawer pulses are never sent elsewhere. The journal and
/// the balloon are touched on this thread.
class SeguimientoTrabajos : public QObject {
public:
    SeguimientoTrabajos(GrabadorTrabajos& grabador, Avisos& avisos, std::chrono::milliseconds limite,
                        std::chrono::milliseconds intervalo = std::chrono::milliseconds(500),
                        std::chrono::milliseconds esperaRespuesta = std::chrono::seconds(60));

    void seguir(TrabajoSeguido trabajo);
    /// Holds a document its printer system did not take (motivo says why) until it answers or the limit. enDuda:
    /// it was being sent when the system stopped answering, so the spooler may have it already.
    void retener(TrabajoSeguido trabajo, const QString& motivo, bool enDuda = false);
    /// Why documents for that printer are held, or empty when none is: a new one goes behind them.
    QString retenida(const QString& impresora) const;
    int pendientes() const { return static_cast<int>(m_trabajos.size() + m_retenidos.size()); }

private:
    enum class Fase {
        Siguiendo,
        /// The spooler said the job is not done, and the cancel could not be made yet.
        Cancelar,
        /// Canceled: the next answer says whether it completed first.
        Confirmar,
    };
    struct Seguido {
        TrabajoSeguido trabajo;
        QDeadlineTimer plazo;
        Fase fase = Fase::Siguiendo;
        /// Why the job is being canceled.
        QString motivo;
        /// The question waiting for its answer (0: none), and until when it is waited for.
        qint64 consulta = 0;
        QDeadlineTimer espera;
        /// The journal already says why the entry waits.
        bool anotado = false;
    };
    struct Retenido {
        TrabajoSeguido trabajo;
        QDeadlineTimer plazo;
        QString motivo;
        /// Until the spooler says whether it took it, it is neither sent again nor sent elsewhere.
        bool enDuda = false;
        /// Above the document when it goes out: the default printer's notice.
        QString primeraLinea;
    };
    void revisar();
    void enviarRetenidos();
    /// Sends a held document; false when its printer still does not answer.
    bool enviarRetenido(Retenido& r);
    void responder(int clave, qint64 consulta, const EstadoCola& estado);
    void cancelar(Seguido& s);
    void anotarEspera(Seguido& s, const QString& motivo);
    void fallar(TrabajoSeguido trabajo, const QString& motivo);
    void arrancar();

    GrabadorTrabajos& m_grabador;
    Avisos& m_avisos;
    std::chrono::milliseconds m_limite;
    std::chrono::milliseconds m_esperaRespuesta;
    QTimer m_reloj;
    std::map<int, Seguido> m_trabajos;
    std::deque<Retenido> m_retenidos;
    int m_siguiente = 0;
    qint64 m_consultas = 0;
};

/// How a balloon names a document: "Comanda de Cocina", "Factura", "Apertura de cajon", ...
QString nombreDocumento(TipoTrabajo tipo, const QString& pedida);

} // namespace kestrel
