#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "print/estado_impresora.h"
#include "print/trabajo.h"

namespace kestrel {

/// What the branch knows of one printer in use.
struct FichaImpresora {
    QString nombre;
    ClaseImpresora clase = ClaseImpresora::Cups;
    QString destino;
    EstadoImpresora estado = EstadoImpresora::Desconocido;
    /// Since when it is in that state.
    QDateTime desde;
    /// When its state was last heard, whether it changed or not.
    QDateTime leido;
    /// Its last document's end, and what it was ("comanda impreso"); invalid while there was none.
    QDateTime ultimoDocumento;
    QString descripcionUltimo;
    /// The day the counts below are for.
    QDate dia;
    int impresos = 0;
    int reenviados = 0;
    int fallidos = 0;
};

/// A balloon about a printer's health.
struct GloboImpresora {
    QString mensaje;
    int icono = 0;
};

/// The balloon a change of state deserves: one when a printer turns bad (or bad in another way), one when it
/// is back to ready after being bad; nothing for a state heard again, or for news from or to unknown.
std::optional<GloboImpresora> globoPorCambio(const QString& impresora, EstadoImpresora anterior, EstadoImpresora nuevo);

/// The printers in use with their live states, last documents and today's counts, on the window's thread.
/// Printer systems feed it states (leer); the journal feeds it each document's outcome (documento).
class RegistroImpresoras : public QObject {
    Q_OBJECT
public:
    explicit RegistroImpresoras(std::function<QDateTime()> reloj = &QDateTime::currentDateTime);

    /// A state heard from a printer system. An empty name stands for every printer of that kind.
    void leer(const LecturaImpresora& lectura);
    /// A document that reached its outcome, counted on the printer it was asked for (usada when none was).
    void documento(TipoTrabajo tipo, const QString& pedida, const QString& usada, EstadoTrabajo estado);
    /// A journal write that failed.
    void errorDiario();

    /// The printers in the order they were first heard of, today's counts brought to today.
    QList<FichaImpresora> fichas();
    const FichaImpresora* ficha(const QString& nombre) const;
    /// The moment the registry's clock reads.
    QDateTime ahora() const { return m_reloj(); }

signals:
    /// A printer's state changed (the first state heard of a printer counts as a change from unknown).
    void estadoCambiado(const QString& impresora, EstadoImpresora anterior, EstadoImpresora nuevo);
    /// A document's outcome was counted.
    void documentoTerminado(TipoTrabajo tipo, const QString& impresora, EstadoTrabajo estado);
    void diarioFallido();
    /// Anything shown changed.
    void cambiado();

private:
    FichaImpresora& fichaDe(const QString& nombre);
    void fijarEstado(FichaImpresora& f, EstadoImpresora estado, const QDateTime& ahora);

    std::function<QDateTime()> m_reloj;
    QList<FichaImpresora> m_fichas;
};

/// The journal as the printing sees it, telling reg each document's outcome and each failed write (kept in the
/// journal's memory or lost). An entry the journal lost still gets a number here, far below the journal's own
/// provisional numbers and never handed to it, so the outcome that follows it is counted too.
class DiarioObservado : public DiarioTrabajos {
public:
    DiarioObservado(std::shared_ptr<DiarioTrabajos> interno, std::shared_ptr<RegistroImpresoras> registro);

    qint64 anotar(const EntradaTrabajo& entrada) override;
    void actualizar(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                    qint64 idCups = 0) override;

private:
    struct Abierta {
        TipoTrabajo tipo;
        QString pedida;
    };

    std::shared_ptr<DiarioTrabajos> m_interno;
    std::shared_ptr<RegistroImpresoras> m_registro;
    /// Documents still "enviando", by number: their outcome comes with a later update.
    std::map<qint64, Abierta> m_abiertas;
    /// The numbers of entries the journal lost start here and go down.
    static constexpr qint64 primeroSinDiario = -(qint64{1} << 62);
    qint64 m_sinDiario = primeroSinDiario + 1;
};

} // namespace kestrel
