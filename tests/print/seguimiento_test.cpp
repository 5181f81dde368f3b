#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTimer>

#include "json/fallo.h"
#include "print/avisos.h"
#include "print/grabador.h"
#include "print/seguimiento.h"
#include "print/seleccion.h"
#include "print/vista_texto.h"
#include "tablas.h"

// The follow-up over a spooler that answers from a script: Cocina's jobs get the answers in order ("P" pending,
// "I" printed, "F" failed with "sin papel", "S" no answer, "D" unknown to it, "N" never answered), its cancels
// the outcomes in order ("si", "no": not reachable). Facturas, the default, prints everything at once.

using namespace kestrel;
using namespace std::chrono_literals;

namespace {

class SistemaGuionado : public SistemaVistaTexto {
public:
    SistemaGuionado() : SistemaVistaTexto({QStringLiteral("Facturas"), QStringLiteral("Cocina")}, "Facturas") {
        fijarAlTerminar([this](const DocumentoVista& d) {
            m_ultimo = ++m_trabajos;
            papel << d.impresora + QLatin1Char(' ') + d.texto(false).join(QLatin1Char('/'));
        });
    }

    QStringList respuestas;
    QStringList cancelaciones;
    QStringList papel;
    int cancelados = 0;
    bool calla = false;

    qint64 tomarTrabajo() override { return std::exchange(m_ultimo, 0); }
    void consultarTrabajo(const QString& impresora, qint64, std::function<void(const EstadoCola&)> r) override {
        const QString guion = impresora == QLatin1String("Cocina") && !respuestas.isEmpty() ? respuestas.takeFirst()
                                                                                            : QStringLiteral("I");
        using F = EstadoCola::Fin;
        const QMap<QString, EstadoCola> estados{{"P", {F::Pendiente, {}}},
                                                {"I", {F::Impreso, {}}},
                                                {"F", {F::Fallido, "sin papel"}},
                                                {"S", {F::SinRespuesta, "no responde"}},
                                                {"D", {F::Desconocido, "CUPS ya no conoce el trabajo"}}};
        if (estados.contains(guion))
            QTimer::singleShot(0, [r, e = estados.value(guion)] { r(e); });
    }
    void cancelarTrabajo(const QString&, qint64) override {
        if (!cancelaciones.isEmpty() && cancelaciones.takeFirst() == QLatin1String("no"))
            throw FalloPlataforma(numerofallo::dispositivoNoDisponible, QStringLiteral("no responde"));
        ++cancelados;
    }
    bool responde(const QString& impresora) override { return !(calla && impresora == QLatin1String("Cocina")); }

private:
    qint64 m_ultimo = 0;
    qint64 m_trabajos = 0;
};

struct AvisosMudos : Avisos {
    void mostrarGlobo(const QString&, int, const QString&, int) override {}
    void registrar(const QString&) override {}
};

struct DiarioEnMemoria : DiarioTrabajos {
    QStringList entradas;
    qint64 anotar(const EntradaTrabajo& e) override {
        return entradas << nombreEstadoTrabajo(e.estado), entradas.size();
    }
    void actualizar(qint64 n, EstadoTrabajo e, const QString& usada, const QString& motivo, qint64) override {
        entradas[n - 1] = nombreEstadoTrabajo(e) + " en " + usada + (motivo.isEmpty() ? "" : ": " + motivo);
    }
};

/// A journal kept over the scripted spooler, its follow-up with the limit already past or far away, and an
/// unanswered question given up at once.
struct Banco {
    explicit Banco(bool vencido)
        : grabador(std::make_unique<GrabadorTrabajos>(std::unique_ptr<SistemaImpresion>(sistema), diario)) {
        grabador->fijarSeguimiento(
            std::make_unique<SeguimientoTrabajos>(*grabador, avisos, vencido ? 0ms : 1h, 1ms, 0ms));
        ctx.grabador = grabador.get();
    }
    void ticket(const QString& mesa) {
        empezarTrabajo(ctx, TipoTrabajo::Comanda, QStringLiteral("Cocina"));
        if (seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Cocina")), 0)) {
            ctx.impresora().imprimir({ElementoLinea::deTexto(mesa)});
            ctx.impresora().finDocumento();
        }
    }
    QString resultado() {
        const bool fin = prueba::esperarHasta([&] { return !diario->entradas.join(' ').contains("enviando"); }, 2000);
        return QStringLiteral("%1 | cancelados %2 | %3")
            .arg(fin ? diario->entradas.join(QStringLiteral(", "))
                     : QStringLiteral("sigue: ") + diario->entradas.join(", "))
            .arg(sistema->cancelados)
            .arg(sistema->papel.join(QStringLiteral(", ")));
    }

    AvisosMudos avisos;
    std::shared_ptr<DiarioEnMemoria> diario = std::make_shared<DiarioEnMemoria>();
    SistemaGuionado* sistema = new SistemaGuionado;
    std::unique_ptr<GrabadorTrabajos> grabador;
    ContextoImpresion ctx{*grabador, avisos, {}};
};

QStringList lista(const QJsonValue& v) {
    return v.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

TEST(Seguimiento, SoloLaPalabraDelPlanificadorTerminaUnTrabajo) {
    prueba::comprobarTablas(QStringLiteral("seguimiento"),
                            {{"seguir",
                              [](const QJsonArray& a) {
                                  Banco b(a[0].toBool());
                                  b.sistema->respuestas = lista(a[1]);
                                  b.sistema->cancelaciones = lista(a[2]);
                                  b.ticket(QStringLiteral("Mesa 1"));
                                  return b.resultado();
                              }},
                             {"retener", [](const QJsonArray& a) {
                                  // Cocina does not answer while three tickets come; then, unless the limit is past, it
                                  // answers again (or answers that it is broken).
                                  Banco b(a[0].toBool());
                                  b.sistema->calla = true;
                                  for (const char* mesa : {"Mesa 1", "Mesa 2", "Mesa 3"})
                                      b.ticket(QString::fromLatin1(mesa));
                                  const QString antes = b.diario->entradas.join(QStringLiteral(", ")) + " | " +
                                                        b.sistema->papel.join(", ");
                                  b.sistema->calla = a[1].toString().isEmpty();
                                  if (a[1].toString() == QLatin1String("averiada"))
                                      b.sistema->fijarAveriada(QStringLiteral("Cocina"));
                                  return QStringList{antes, b.resultado()}.join(QLatin1Char('\n'));
                              }}});
}
