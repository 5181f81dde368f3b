#include "print/seguimiento.h"

#include <QPointer>

#include <optional>

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
                                         std::chrono::milliseconds intervalo, std::chrono::milliseconds esperaRespuesta)
    : m_grabador(grabador), m_avisos(avisos), m_limite(limite), m_esperaRespuesta(esperaRespuesta) {
    m_reloj.setInterval(intervalo);
    connect(&m_reloj, &QTimer::timeout, this, &SeguimientoTrabajos::revisar);
}

void SeguimientoTrabajos::arrancar() {
    if (!m_reloj.isActive())
        m_reloj.start();
}

void SeguimientoTrabajos::seguir(TrabajoSeguido trabajo) {
    Seguido s;
    s.trabajo = std::move(trabajo);
    s.plazo = QDeadlineTimer(m_limite);
    m_trabajos.emplace(m_siguiente++, std::move(s));
    arrancar();
}

void SeguimientoTrabajos::retener(TrabajoSeguido trabajo, const QString& motivo, bool enDuda) {
    const QString aviso = QStringLiteral("%1 en espera: %2").arg(nombreDocumento(trabajo.tipo, trabajo.pedida), motivo);
    m_grabador.diario().actualizar(trabajo.numero, EstadoTrabajo::Enviando, trabajo.usada,
                                   trabajo.usada + QStringLiteral(": ") + motivo);
    m_avisos.registrar(aviso);
    m_retenidos.push_back(Retenido{std::move(trabajo), QDeadlineTimer(m_limite), motivo, enDuda, {}});
    arrancar();
}

QString SeguimientoTrabajos::retenida(const QString& impresora) const {
    for (auto it = m_retenidos.rbegin(); it != m_retenidos.rend(); ++it) {
        if (mismaImpresora(it->trabajo.usada, impresora))
            return it->motivo;
    }
    return {};
}

void SeguimientoTrabajos::revisar() {
    // An invoice lets events through while it prints: a resend now would land inside it.
    if (m_grabador.documentoAbierto())
        return;
    enviarRetenidos();
    for (auto& [clave, s] : m_trabajos) {
        if (s.consulta != 0 && !s.espera.hasExpired())
            continue;
        // A question never answered is given up, not waited for forever: its late answer finds another
        // question asked and is dropped.
        s.consulta = ++m_consultas;
        s.espera = QDeadlineTimer(m_esperaRespuesta);
        m_grabador.interno().consultarTrabajo(
            s.trabajo.usada, s.trabajo.idCups,
            [yo = QPointer<SeguimientoTrabajos>(this), c = clave, n = s.consulta](const EstadoCola& e) {
                if (yo)
                    yo->responder(c, n, e);
            });
    }
    if (m_trabajos.empty() && m_retenidos.empty())
        m_reloj.stop();
}

void SeguimientoTrabajos::enviarRetenidos() {
    // Printers that did not answer on this turn: what is held for them after stays behind, in order.
    QStringList calladas;
    for (auto it = m_retenidos.begin(); it != m_retenidos.end();) {
        const bool callada = buscarImpresora(calladas, it->trabajo.usada) >= 0;
        if (!callada && enviarRetenido(*it)) {
            it = m_retenidos.erase(it);
            continue;
        }
        if (!callada)
            calladas << it->trabajo.usada;
        if (it->plazo.hasExpired() && !it->enDuda) {
            TrabajoSeguido t = std::move(it->trabajo);
            const QString motivo = it->motivo;
            it = m_retenidos.erase(it);
            fallar(std::move(t), motivo);
            continue;
        }
        ++it;
    }
}

bool SeguimientoTrabajos::enviarRetenido(Retenido& r) {
    SistemaImpresion& impresoras = m_grabador.interno();
    TrabajoSeguido& t = r.trabajo;
    qint64 id = 0;
    if (r.enDuda) {
        const std::optional<qint64> tomado = impresoras.trabajoEnDuda(t.usada);
        if (!tomado)
            return false;
        r.enDuda = false;
        id = *tomado;
    }
    if (id == 0) {
        if (!impresoras.responde(t.usada))
            return false;
        try {
            id = m_grabador.reenviar(t.documento, t.usada, r.primeraLinea);
        } catch (const FalloPlataforma& fallo) {
            if (fallo.numero() == numerofallo::dispositivoNoDisponible) {
                r.motivo = fallo.descripcion();
                r.enDuda = true;
                return false;
            }
            // A definite answer (no paper, stopped queue, gone) re-routes at once, as at the first try.
            fallar(std::move(t), fallo.descripcion());
            return true;
        }
    }
    if (id == 0) {
        m_grabador.diario().actualizar(t.numero, t.estado, t.usada, t.motivo);
        return true;
    }
    m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Enviando, t.usada, t.motivo, id);
    t.idCups = id;
    seguir(std::move(t));
    return true;
}

void SeguimientoTrabajos::responder(int clave, qint64 consulta, const EstadoCola& estado) {
    auto it = m_trabajos.find(clave);
    if (it == m_trabajos.end() || it->second.consulta != consulta)
        return;
    Seguido& s = it->second;
    s.consulta = 0;
    // Inside an invoice nothing else may print: the job is asked again after it.
    if (m_grabador.documentoAbierto())
        return;
    const auto terminar = [&] {
        TrabajoSeguido t = std::move(s.trabajo);
        m_trabajos.erase(it);
        return t;
    };
    switch (estado.fin) {
    case EstadoCola::Fin::Impreso: {
        // Also when it was being canceled: it completed first, and a resend would print it twice.
        const TrabajoSeguido t = terminar();
        m_grabador.diario().actualizar(t.numero, t.estado, t.usada, t.motivo);
        return;
    }
    case EstadoCola::Fin::Desconocido: {
        const TrabajoSeguido t = terminar();
        const QString razon = t.usada + QStringLiteral(": ") + estado.motivo;
        m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Desconocido, t.usada, razon);
        const QString aviso = QStringLiteral("%1: no se sabe si se imprimió (%2). Revísela en Trabajos")
                                  .arg(nombreDocumento(t.tipo, t.pedida), razon);
        m_avisos.mostrarGlobo(aviso, iconoglobo::advertencia,
                              QStringLiteral("Impresion de ") + nombreTipoTrabajo(t.tipo), tiempoGlobo);
        m_avisos.registrar(aviso);
        return;
    }
    case EstadoCola::Fin::SinRespuesta:
        if (s.plazo.hasExpired() || s.fase != Fase::Siguiendo)
            anotarEspera(s, estado.motivo);
        return;
    case EstadoCola::Fin::Pendiente:
        if (s.fase == Fase::Siguiendo && !s.plazo.hasExpired())
            return;
        if (s.fase == Fase::Siguiendo) {
            const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(m_limite).count();
            s.motivo = QStringLiteral("no terminó en %1 s").arg(segundos);
        }
        cancelar(s);
        return;
    case EstadoCola::Fin::Fallido:
        if (s.fase == Fase::Confirmar) {
            const QString motivo = s.motivo;
            fallar(terminar(), motivo);
            return;
        }
        if (s.fase == Fase::Siguiendo)
            s.motivo = estado.motivo;
        cancelar(s);
        return;
    }
}

void SeguimientoTrabajos::cancelar(Seguido& s) {
    SistemaImpresion& impresoras = m_grabador.interno();
    try {
        // A spooler known not to answer would only make this thread wait for it.
        if (!impresoras.responde(s.trabajo.usada))
            throw FalloPlataforma(numerofallo::dispositivoNoDisponible, QStringLiteral("no responde"));
        impresoras.cancelarTrabajo(s.trabajo.usada, s.trabajo.idCups);
        s.fase = Fase::Confirmar;
    } catch (const FalloPlataforma& fallo) {
        // Not canceled, so it may still print: nothing is resent until the spooler takes the cancel.
        s.fase = Fase::Cancelar;
        anotarEspera(s, QStringLiteral("no se pudo cancelar: ") + fallo.descripcion());
    }
}

void SeguimientoTrabajos::anotarEspera(Seguido& s, const QString& motivo) {
    if (s.anotado)
        return;
    s.anotado = true;
    const TrabajoSeguido& t = s.trabajo;
    const QString razon = t.usada + QStringLiteral(": ") + motivo;
    m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Enviando, t.usada, razon);
    m_avisos.registrar(QStringLiteral("%1 en espera (%2)").arg(nombreDocumento(t.tipo, t.pedida), razon));
}

void SeguimientoTrabajos::fallar(TrabajoSeguido t, const QString& motivo) {
    QString razon = t.usada + QStringLiteral(": ") + motivo;
    QString predeterminada;
    try {
        // The recorder's, which it remembers while the printer system does not answer.
        predeterminada = m_grabador.predeterminada();
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
            if (fallo.numero() == numerofallo::dispositivoNoDisponible) {
                // The default may have it already, or take it in a moment: it waits for it as any held document.
                const QString linea = QStringLiteral("Error en Impresora ") + t.usada;
                t.usada = predeterminada;
                t.estado = EstadoTrabajo::Reenviado;
                t.motivo = razon;
                t.reenvio = true;
                retener(std::move(t), fallo.descripcion(), true);
                m_retenidos.back().primeraLinea = linea;
                return;
            }
            razon += QStringLiteral("; ") + predeterminada + QStringLiteral(": ") + fallo.descripcion();
            aviso += QStringLiteral(" No se pudo reenviar a ") + predeterminada;
        }
    }
    m_grabador.diario().actualizar(t.numero, EstadoTrabajo::Fallido, t.usada, razon);
    m_avisos.mostrarGlobo(aviso, iconoglobo::advertencia, titulo, tiempoGlobo);
    m_avisos.registrar(aviso);
}

} // namespace kestrel
