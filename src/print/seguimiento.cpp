#include "print/seguimiento.h"

#include <vector>

#include <QPointer>

#include "json/fallo.h"
#include "print/avisos.h"
#include "print/grabador.h"
#include "print/seleccion.h"

namespace kestrel {

QString nombreDocumento(TipoTrabajo tipo, const QString& pedida) {
    switch (tipo) {
    case TipoTrabajo::Comanda:
        return QStringLiteral("Comanda de ") + pedida;
    case TipoTrabajo::Anulacion:
        return QStringLiteral("Anulacion de ") + pedida;
    case TipoTrabajo::Factura:
        return QStringLiteral("Factura");
    case TipoTrabajo::Cajon:
        return QStringLiteral("Apertura de cajon");
    case TipoTrabajo::Reimpresion:
        return QStringLiteral("Reimpresion");
    }
    return {};
}

SeguimientoTrabajos::SeguimientoTrabajos(GrabadorTrabajos& grabador, Avisos& avisos, std::chrono::milliseconds limite,
                                         std::chrono::milliseconds intervalo)
    : m_grabador(grabador), m_avisos(avisos), m_limite(limite) {
    m_reloj.setInterval(intervalo);
    connect(&m_reloj, &QTimer::timeout, this, &SeguimientoTrabajos::revisar);
}

void SeguimientoTrabajos::seguir(TrabajoSeguido trabajo) {
    m_trabajos.emplace(m_siguiente++, Seguido{std::move(trabajo), QDeadlineTimer(m_limite), false});
    if (!m_reloj.isActive())
        m_reloj.start();
}

void SeguimientoTrabajos::revisar() {
    // An invoice lets events through while it prints: a resend now would land inside it.
    if (m_grabador.documentoAbierto())
        return;
    std::vector<int> vencidos;
    for (auto& [clave, s] : m_trabajos) {
        if (s.plazo.hasExpired()) {
            vencidos.push_back(clave);
        } else if (!s.preguntando) {
            s.preguntando = true;
            const int c = clave;
            // The answer comes later from the CUPS thread: it finds nothing to do once the follow-up is gone.
            m_grabador.interno().consultarTrabajo(s.trabajo.usada, s.trabajo.idCups,
                                                  [yo = QPointer<SeguimientoTrabajos>(this), c](const EstadoCola& e) {
                                                      if (yo)
                                                          yo->responder(c, e);
                                                  });
        }
    }
    for (int clave : vencidos) {
        auto it = m_trabajos.find(clave);
        if (it == m_trabajos.end())
            continue;
        TrabajoSeguido t = std::move(it->second.trabajo);
        m_trabajos.erase(it);
        const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(m_limite).count();
        fallar(std::move(t), QStringLiteral("no terminó en %1 s").arg(segundos));
    }
    if (m_trabajos.empty())
        m_reloj.stop();
}

void SeguimientoTrabajos::responder(int clave, const EstadoCola& estado) {
    auto it = m_trabajos.find(clave);
    if (it == m_trabajos.end())
        return;
    it->second.preguntando = false;
    if (estado.fin == EstadoCola::Fin::Pendiente)
        return;
    TrabajoSeguido t = std::move(it->second.trabajo);
    m_trabajos.erase(it);
    if (estado.fin == EstadoCola::Fin::Impreso)
        m_grabador.diario().actualizar(t.numero, t.estado, t.usada, t.motivo);
    else
        fallar(std::move(t), estado.motivo);
}

void SeguimientoTrabajos::fallar(TrabajoSeguido t, const QString& motivo) {
    SistemaImpresion& impresoras = m_grabador.interno();
    try {
        impresoras.cancelarTrabajo(t.usada, t.idCups);
    } catch (const FalloPlataforma&) {
        // The spooler that cannot be reached cannot print it later either until it answers again.
    }
    QString razon = t.usada + QStringLiteral(": ") + motivo;
    QString predeterminada;
    try {
        predeterminada = impresoras.predeterminada();
    } catch (const FalloPlataforma&) {
        // Without a default printer there is nowhere to send it.
    }
    const QString documento = nombreDocumento(t.tipo, t.pedida);
    const QString titulo = QStringLiteral("Impresion de ") + nombreTipoTrabajo(t.tipo);
    QString aviso = QStringLiteral("%1 no impresa (%2).").arg(documento, razon);
    if (!t.reenvio && t.tipo != TipoTrabajo::Cajon && !predeterminada.isEmpty() &&
        !mismaImpresora(predeterminada, t.usada)) {
        try {
            const qint64 id =
                m_grabador.reenviar(t.documento, predeterminada, QStringLiteral("Error en Impresora ") + t.usada);
            m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Reenviado, predeterminada, razon, id);
            m_avisos.mostrarGlobo(aviso + QStringLiteral(" Reenviada a ") + predeterminada, iconoglobo::advertencia,
                                  titulo, tiempoGlobo);
            m_avisos.registrar(aviso + QStringLiteral(" Reenviada a ") + predeterminada);
            if (id != 0) {
                t.usada = predeterminada;
                t.estado = EstadoTrabajo::Reenviado;
                t.motivo = razon;
                t.idCups = id;
                t.reenvio = true;
                seguir(std::move(t));
            }
            return;
        } catch (const FalloPlataforma& fallo) {
            razon += QStringLiteral("; ") + predeterminada + QStringLiteral(": ") + fallo.descripcion();
            aviso += QStringLiteral(" No se pudo reenviar a ") + predeterminada;
        }
    }
    m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Fallido, t.usada, razon);
    m_avisos.mostrarGlobo(aviso, iconoglobo::advertencia, titulo, tiempoGlobo);
    m_avisos.registrar(aviso);
}

} // namespace kestrel
