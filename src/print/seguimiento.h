#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
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

/// Follows every job until it is on paper. A job whose queue stops, or that is stopped, held or canceled, or
/// that does not finish within the limit, is canceled (so a queue that comes back never prints it twice) and
/// its document goes once to the default printer, headed "Error en Impresora " + the failed printer; a
/// balloon says so. Drawer pulses are never sent elsewhere. The spooler is asked away from this thread
/// (SistemaImpresion::consultarTrabajo); the journal and the balloon are touched on this one.
class SeguimientoTrabajos : public QObject {
public:
    SeguimientoTrabajos(GrabadorTrabajos& grabador, Avisos& avisos, std::chrono::milliseconds limite,
                        std::chrono::milliseconds intervalo = std::chrono::milliseconds(500));

    void seguir(TrabajoSeguido trabajo);
    int pendientes() const { return static_cast<int>(m_trabajos.size()); }

private:
    struct Seguido {
        TrabajoSeguido trabajo;
        QDeadlineTimer plazo;
        bool preguntando = false;
    };
    void revisar();
    void responder(int clave, const EstadoCola& estado);
    void fallar(TrabajoSeguido trabajo, const QString& motivo);

    GrabadorTrabajos& m_grabador;
    Avisos& m_avisos;
    std::chrono::milliseconds m_limite;
    QTimer m_reloj;
    std::map<int, Seguido> m_trabajos;
    int m_siguiente = 0;
};

/// How a balloon names a document: "Comanda de Cocina", "Factura", "Apertura de cajon", ...
QString nombreDocumento(TipoTrabajo tipo, const QString& pedida);

} // namespace kestrel
