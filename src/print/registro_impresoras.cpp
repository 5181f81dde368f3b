#include "print/registro_impresoras.h"

#include <utility>

#include "print/avisos.h"
#include "print/seleccion.h"

namespace kestrel {

namespace {

/// Documents left "enviando" for ever (an agent killed halfway) are forgotten beyond this many.
constexpr std::size_t abiertasRecordadas = 1000;

bool final(EstadoTrabajo estado) {
    return estado == EstadoTrabajo::Impreso || estado == EstadoTrabajo::Reenviado || estado == EstadoTrabajo::Fallido;
}

} // namespace

std::optional<GloboImpresora> globoPorCambio(const QString& impresora, EstadoImpresora anterior,
                                             EstadoImpresora nuevo) {
    const QString mensaje = QStringLiteral("Impresora %1: %2").arg(impresora, textoEstado(nuevo));
    if (estadoMalo(nuevo) && nuevo != anterior) {
        const bool aviso = nuevo == EstadoImpresora::PapelPorAcabarse;
        return GloboImpresora{mensaje, aviso ? iconoglobo::advertencia : iconoglobo::error};
    }
    if (nuevo == EstadoImpresora::Lista && estadoMalo(anterior))
        return GloboImpresora{mensaje, iconoglobo::informacion};
    return std::nullopt;
}

RegistroImpresoras::RegistroImpresoras(std::function<QDateTime()> reloj) : m_reloj(std::move(reloj)) {}

FichaImpresora& RegistroImpresoras::fichaDe(const QString& nombre) {
    for (FichaImpresora& f : m_fichas) {
        if (mismaImpresora(f.nombre, nombre))
            return f;
    }
    FichaImpresora nueva;
    nueva.nombre = nombre.trimmed();
    nueva.desde = m_reloj();
    m_fichas.append(nueva);
    return m_fichas.last();
}

const FichaImpresora* RegistroImpresoras::ficha(const QString& nombre) const {
    for (const FichaImpresora& f : m_fichas) {
        if (mismaImpresora(f.nombre, nombre))
            return &f;
    }
    return nullptr;
}

void RegistroImpresoras::fijarEstado(FichaImpresora& f, EstadoImpresora estado, const QDateTime& ahora) {
    f.leido = ahora;
    if (f.estado == estado)
        return;
    const EstadoImpresora anterior = std::exchange(f.estado, estado);
    f.desde = ahora;
    emit estadoCambiado(f.nombre, anterior, estado);
}

void RegistroImpresoras::leer(const LecturaImpresora& lectura) {
    const QDateTime ahora = m_reloj();
    if (lectura.nombre.trimmed().isEmpty()) {
        // Copied names: a slot may add printers to the list while it is walked.
        QStringList nombres;
        for (const FichaImpresora& f : std::as_const(m_fichas)) {
            if (f.clase == lectura.clase)
                nombres << f.nombre;
        }
        for (const QString& n : std::as_const(nombres))
            fijarEstado(fichaDe(n), lectura.estado, ahora);
    } else {
        FichaImpresora& f = fichaDe(lectura.nombre);
        f.clase = lectura.clase;
        if (!lectura.destino.isEmpty())
            f.destino = lectura.destino;
        fijarEstado(fichaDe(lectura.nombre), lectura.estado, ahora);
    }
    emit cambiado();
}

void RegistroImpresoras::documento(TipoTrabajo tipo, const QString& pedida, const QString& usada,
                                   EstadoTrabajo estado) {
    const QString nombre = pedida.trimmed().isEmpty() ? usada : pedida;
    if (nombre.trimmed().isEmpty() || !final(estado))
        return;
    const QDateTime ahora = m_reloj();
    FichaImpresora& f = fichaDe(nombre);
    if (f.dia != ahora.date()) {
        f.dia = ahora.date();
        f.impresos = f.reenviados = f.fallidos = 0;
    }
    ++(estado == EstadoTrabajo::Impreso ? f.impresos : estado == EstadoTrabajo::Reenviado ? f.reenviados : f.fallidos);
    f.ultimoDocumento = ahora;
    f.descripcionUltimo = nombreTipoTrabajo(tipo) + QLatin1Char(' ') + nombreEstadoTrabajo(estado);
    const QString comoSeLlama = f.nombre;
    emit documentoTerminado(tipo, comoSeLlama, estado);
    emit cambiado();
}

void RegistroImpresoras::errorDiario() {
    emit diarioFallido();
}

QList<FichaImpresora> RegistroImpresoras::fichas() {
    const QDate hoy = m_reloj().date();
    for (FichaImpresora& f : m_fichas) {
        if (f.dia != hoy) {
            f.dia = hoy;
            f.impresos = f.reenviados = f.fallidos = 0;
        }
    }
    return m_fichas;
}

DiarioObservado::DiarioObservado(std::shared_ptr<DiarioTrabajos> interno, std::shared_ptr<RegistroImpresoras> registro)
    : m_interno(std::move(interno)), m_registro(std::move(registro)) {}

qint64 DiarioObservado::anotar(const EntradaTrabajo& entrada) {
    qint64 numero = m_interno->anotar(entrada);
    // Negative: the journal could not write it and keeps it in memory for later, under that number.
    if (numero <= 0)
        m_registro->errorDiario();
    if (numero == 0)
        numero = --m_sinDiario;
    if (entrada.estado == EstadoTrabajo::Enviando) {
        m_abiertas[numero] = {entrada.tipo, entrada.pedida.isEmpty() ? entrada.usada : entrada.pedida};
        while (m_abiertas.size() > abiertasRecordadas)
            m_abiertas.erase(m_abiertas.begin());
    } else {
        m_registro->documento(entrada.tipo, entrada.pedida, entrada.usada, entrada.estado);
    }
    return numero;
}

void DiarioObservado::actualizar(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                                 qint64 idCups) {
    if (numero > primeroSinDiario)
        m_interno->actualizar(numero, estado, usada, motivo, idCups);
    if (!final(estado))
        return;
    const auto it = m_abiertas.find(numero);
    if (it == m_abiertas.end())
        return;
    const Abierta abierta = it->second;
    m_abiertas.erase(it);
    m_registro->documento(abierta.tipo, abierta.pedida, usada, estado);
}

} // namespace kestrel
