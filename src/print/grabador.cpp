#include "print/grabador.h"

#include <QTemporaryDir>

#include "json/fallo.h"
#include "print/contexto.h"
#include "print/seguimiento.h"
#include "print/seleccion.h"

namespace kestrel {

Impresora& ImpresoraGrabada::real() const {
    return m_grabador.m_interno->actual();
}

DocumentoTrabajo* ImpresoraGrabada::grabando() {
    auto& enCurso = m_grabador.m_enCurso;
    if (!enCurso)
        return nullptr;
    if (!enCurso->empezado) {
        // A printer keeps its font from the document before: the recording starts from that state so a reprint
        // on another printer looks the same.
        enCurso->empezado = true;
        enCurso->documento.fijarNombreFuente(real().nombreFuente());
        enCurso->documento.fijarTamanoFuente(real().tamanoFuente());
        enCurso->documento.fijarNegrita(real().negrita());
    }
    return &enCurso->documento;
}

void ImpresoraGrabada::fijarTamanoFuente(float puntos) {
    DocumentoTrabajo* d = grabando();
    real().fijarTamanoFuente(puntos);
    if (d)
        d->fijarTamanoFuente(puntos);
}

void ImpresoraGrabada::fijarNombreFuente(const QString& nombre) {
    DocumentoTrabajo* d = grabando();
    real().fijarNombreFuente(nombre);
    if (d)
        d->fijarNombreFuente(nombre);
}

void ImpresoraGrabada::fijarNegrita(bool activa) {
    DocumentoTrabajo* d = grabando();
    real().fijarNegrita(activa);
    if (d)
        d->fijarNegrita(activa);
}

void ImpresoraGrabada::fijarEnfasis(bool activo) {
    DocumentoTrabajo* d = grabando();
    real().fijarEnfasis(activo);
    if (d)
        d->fijarEnfasis(activo);
}

void ImpresoraGrabada::imprimir(const Linea& elementos, bool saltoLinea) {
    DocumentoTrabajo* d = grabando();
    real().imprimir(elementos, saltoLinea);
    if (d)
        d->imprimir(elementos, saltoLinea);
}

void ImpresoraGrabada::dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) {
    DocumentoTrabajo* d = grabando();
    real().dibujarImagen(ruta, x, y, ancho, alto);
    if (d)
        d->dibujarImagen(ruta, x, y, ancho, alto);
}

void ImpresoraGrabada::sondear() {
    if (!m_grabador.retenible()) {
        real().sondear();
        return;
    }
    auto& enCurso = m_grabador.m_enCurso;
    enCurso->retenido.clear();
    const QString nombre = real().nombreDispositivo();
    QString motivo = m_grabador.m_seguimiento->retenida(nombre);
    if (motivo.isEmpty() && !m_grabador.m_interno->responde(nombre))
        motivo = QStringLiteral("no responde");
    if (motivo.isEmpty()) {
        try {
            real().sondear();
        } catch (const FalloPlataforma& fallo) {
            if (fallo.numero() != numerofallo::dispositivoNoDisponible)
                throw;
            motivo = fallo.descripcion();
        }
    }
    enCurso->retenido = motivo;
}

void ImpresoraGrabada::finDocumento() {
    if (!m_grabador.m_enCurso) {
        real().finDocumento();
        return;
    }
    m_grabador.enviar(
        real().nombreDispositivo(), [this] { real().finDocumento(); }, [this] { real().descartarDocumento(); });
}

void ImpresoraGrabada::descartarDocumento() {
    if (m_grabador.m_enCurso)
        m_grabador.fallar(QStringLiteral("documento incompleto"));
    real().descartarDocumento();
}

GrabadorTrabajos::GrabadorTrabajos(std::unique_ptr<SistemaImpresion> interno, std::shared_ptr<DiarioTrabajos> diario)
    : m_interno(std::move(interno)), m_diario(std::move(diario)) {}

GrabadorTrabajos::~GrabadorTrabajos() = default;

void GrabadorTrabajos::fijarSeguimiento(std::unique_ptr<SeguimientoTrabajos> seguimiento) {
    m_seguimiento = std::move(seguimiento);
}

bool GrabadorTrabajos::retenible() const {
    // A drawer that opens minutes later, by itself, is worse than one that did not open; a reprint is asked
    // for by someone waiting for its answer.
    return m_seguimiento && m_enCurso && m_enCurso->tipo != TipoTrabajo::Cajon &&
           m_enCurso->tipo != TipoTrabajo::Reimpresion;
}

QStringList GrabadorTrabajos::impresoras() {
    try {
        m_lista = m_interno->impresoras();
    } catch (const FalloPlataforma& fallo) {
        if (fallo.numero() != numerofallo::dispositivoNoDisponible || m_lista.isEmpty())
            throw;
    }
    return m_lista;
}

QString GrabadorTrabajos::predeterminada() {
    try {
        m_predeterminada = m_interno->predeterminada();
    } catch (const FalloPlataforma& fallo) {
        if (fallo.numero() != numerofallo::dispositivoNoDisponible || m_predeterminada.isEmpty())
            throw;
    }
    return m_predeterminada;
}

void GrabadorTrabajos::empezar(TipoTrabajo tipo, const QString& pedida, qint64 original) {
    if (m_enCurso)
        fallar(QStringLiteral("documento incompleto"));
    m_enCurso.emplace();
    m_enCurso->tipo = tipo;
    m_enCurso->pedida = pedida.trimmed();
    m_enCurso->original = original;
}

void GrabadorTrabajos::respaldo(const QString& motivo) {
    if (m_enCurso) {
        m_enCurso->respaldo = true;
        m_enCurso->motivo = motivo;
    }
}

void GrabadorTrabajos::fallar(const QString& motivo) {
    if (!m_enCurso)
        return;
    m_enCurso->motivo = motivo;
    QString usada;
    try {
        usada = m_interno->actual().nombreDispositivo();
    } catch (const FalloPlataforma&) {
        // Printed nowhere: no printer to name.
    }
    terminar(EstadoTrabajo::Fallido, usada, motivo);
}

qint64 GrabadorTrabajos::terminar(EstadoTrabajo estado, const QString& usada, const QString& motivo) {
    EntradaTrabajo e;
    e.tipo = m_enCurso->tipo;
    e.pedida = m_enCurso->pedida;
    e.usada = usada;
    e.estado = estado;
    e.motivo = motivo;
    e.original = m_enCurso->original;
    e.documento = std::move(m_enCurso->documento);
    m_enCurso.reset();
    e.vista = e.documento.vista();
    return m_diario->anotar(e);
}

template <typename Enviar, typename Descartar>
void GrabadorTrabajos::enviar(const QString& usada, Enviar&& enviarlo, Descartar&& descartar) {
    const bool retener = retenible();
    const EnCurso trabajo = *m_enCurso;
    const qint64 numero = terminar(EstadoTrabajo::Enviando, usada, trabajo.motivo);
    // A printer that is not installed was replaced by the default one without a probe failing: that is a
    // re-routed document too.
    const bool otra =
        trabajo.respaldo || (trabajo.tipo != TipoTrabajo::Reimpresion && !mismaImpresora(trabajo.pedida, usada));
    QString motivo = trabajo.motivo;
    if (otra && motivo.isEmpty())
        motivo = QStringLiteral("%1 no está instalada").arg(trabajo.pedida);
    const EstadoTrabajo estado = otra ? EstadoTrabajo::Reenviado : EstadoTrabajo::Impreso;
    TrabajoSeguido t;
    t.numero = numero;
    t.tipo = trabajo.tipo;
    t.pedida = trabajo.pedida;
    t.usada = usada;
    t.estado = estado;
    t.motivo = motivo;
    t.documento = trabajo.documento;

    QString retenido = trabajo.retenido;
    bool enDuda = false;
    // Behind documents held for the same printer, whatever its probe said: tickets keep their order.
    if (retener && retenido.isEmpty())
        retenido = m_seguimiento->retenida(usada);
    m_interno->tomarTrabajo();
    if (retenido.isEmpty()) {
        try {
            enviarlo();
        } catch (const FalloPlataforma& fallo) {
            if (!retener || fallo.numero() != numerofallo::dispositivoNoDisponible) {
                m_diario->actualizar(numero, EstadoTrabajo::Fallido, usada, fallo.descripcion());
                throw;
            }
            retenido = fallo.descripcion();
            enDuda = true;
        }
    } else {
        descartar();
    }
    if (!retenido.isEmpty()) {
        m_seguimiento->retener(std::move(t), retenido, enDuda);
        return;
    }
    const qint64 idCups = m_interno->tomarTrabajo();
    if (idCups != 0 && m_seguimiento) {
        // Handed to the spooler is not on paper yet: the entry stays "enviando" until the job ends, and
        // notes the job that carries it.
        m_diario->actualizar(numero, EstadoTrabajo::Enviando, usada, motivo, idCups);
        t.idCups = idCups;
        m_seguimiento->seguir(std::move(t));
        return;
    }
    m_diario->actualizar(numero, estado, usada, motivo);
}

qint64 GrabadorTrabajos::reenviar(const DocumentoTrabajo& documento, const QString& impresora,
                                  const QString& primeraLinea) {
    QString antes;
    try {
        antes = m_interno->actual().nombreDispositivo();
    } catch (const FalloPlataforma&) {
        // No printer was usable before: nothing to go back to.
    }
    const QStringList lista = m_interno->impresoras();
    const int indice = buscarImpresora(lista, impresora);
    if (indice < 0)
        throw FalloPlataforma(numerofallo::errorImpresora,
                              QStringLiteral("la impresora %1 no está instalada").arg(impresora));
    m_interno->seleccionar(indice);
    Impresora& destino = m_interno->actual();
    qint64 idCups = 0;
    try {
        m_interno->tomarTrabajo();
        destino.sondear();
        destino.cerrarSondeo();
        if (!documento.crudo().isEmpty()) {
            m_interno->escribirCrudo(impresora, documento.crudo());
        } else {
            // As with the probe's fallback, the notice is printed in the font the printer has at hand.
            QTemporaryDir imagenes;
            if (!primeraLinea.isEmpty())
                destino.imprimir({ElementoLinea::deTexto(primeraLinea)});
            documento.reproducir(destino, imagenes.path());
            destino.finDocumento();
        }
        idCups = m_interno->tomarTrabajo();
    } catch (const FalloPlataforma&) {
        destino.descartarDocumento();
        const int previa = buscarImpresora(lista, antes);
        if (previa >= 0)
            m_interno->seleccionar(previa);
        throw;
    }
    const int previa = buscarImpresora(lista, antes);
    if (previa >= 0)
        m_interno->seleccionar(previa);
    return idCups;
}

void GrabadorTrabajos::escribirCrudo(const QString& impresora, const QByteArray& datos) {
    if (!m_enCurso) {
        m_interno->escribirCrudo(impresora, datos);
        return;
    }
    m_enCurso->documento.fijarCrudo(datos);
    enviar(
        impresora, [&] { m_interno->escribirCrudo(impresora, datos); }, [] {});
}

bool GrabadorTrabajos::reimprimir(const DocumentoTrabajo& documento, const QString& impresora, qint64 original,
                                  QString* error) {
    const int indice = buscarImpresora(m_interno->impresoras(), impresora);
    if (indice < 0) {
        if (error)
            *error = QStringLiteral("la impresora %1 no está instalada").arg(impresora);
        return false;
    }
    try {
        m_interno->seleccionar(indice);
        empezar(TipoTrabajo::Reimpresion, m_interno->actual().nombreDispositivo(), original);
        if (!documento.crudo().isEmpty()) {
            escribirCrudo(m_interno->actual().nombreDispositivo(), documento.crudo());
            return true;
        }
        m_impresora.sondear();
        m_impresora.cerrarSondeo();
        QTemporaryDir imagenes;
        documento.reproducir(m_impresora, imagenes.path());
        m_impresora.finDocumento();
        return true;
    } catch (const FalloPlataforma& fallo) {
        fallar(fallo.descripcion());
        try {
            m_interno->actual().descartarDocumento();
        } catch (const FalloPlataforma&) {
            // The reprint's own failure is what the caller reports.
        }
        if (error)
            *error = fallo.descripcion();
        return false;
    }
}

void empezarTrabajo(ContextoImpresion& ctx, TipoTrabajo tipo, const QString& pedida) {
    if (ctx.grabador)
        ctx.grabador->empezar(tipo, pedida);
}

void respaldoTrabajo(ContextoImpresion& ctx, const QString& motivo) {
    if (ctx.grabador)
        ctx.grabador->respaldo(motivo);
}

void fallarTrabajo(ContextoImpresion& ctx, const QString& motivo) {
    if (ctx.grabador)
        ctx.grabador->fallar(motivo);
}

} // namespace kestrel
