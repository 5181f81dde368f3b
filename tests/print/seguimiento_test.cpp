#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTimer>

#include "json/fallo.h"
#include "print/avisos.h"
#include "print/grabador.h"
#include "print/seguimiento.h"
#include "print/seleccion.h"
#include "print/vista_texto.h"
#include "diario_prueba.h"
#include "tablas.h"

// The follow-up over a spooler that answers from a script: Cocina's jobs get the answers in order ("P" pending,
// "I" printed, "F" failed with "sin papel", "S" no answer, "D" unknown to it, "N" never answered), its cancels
// the outcomes in order ("si", "no": not reachable). Facturas, the default, prints everything at once.

using namespace kestrel;
using namespace kestrel::prueba;
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

QStringList lista(const QJsonValue& v) {
    return v.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

// Each case: the limit already past or far away, Cocina's answers and cancels, and what Cocina does after being
// silent while three tickets came ("" when it never was: one ticket).
TEST(Seguimiento, SoloLaPalabraDelPlanificadorTerminaUnTrabajo) {
    prueba::comprobarTablas(
        QStringLiteral("seguimiento"),
        {{"seguir", [](const QJsonArray& a) {
              AvisosMudos avisos;
              auto diario = std::make_shared<DiarioEnMemoria>();
              auto* sistema = new SistemaGuionado;
              GrabadorTrabajos grabador(std::unique_ptr<SistemaImpresion>(sistema), diario);
              // An unanswered question ("N") is given up after 200 ms: long enough that a scripted answer, which
              // comes on the next turn of the event loop, is never taken for a late one on a slow machine.
              grabador.fijarSeguimiento(
                  std::make_unique<SeguimientoTrabajos>(grabador, avisos, a[0].toBool() ? 0ms : 1h, 1ms, 200ms));
              ContextoImpresion ctx{grabador, avisos, {}};
              ctx.grabador = &grabador;
              sistema->respuestas = lista(a[1]);
              sistema->cancelaciones = lista(a[2]);
              const QString luego = a[3].toString();
              sistema->calla = !luego.isEmpty();
              for (int n = 1; n <= (luego.isEmpty() ? 1 : 3); ++n) {
                  empezarTrabajo(ctx, TipoTrabajo::Comanda, QStringLiteral("Cocina"));
                  if (seleccionarImpresora(ctx, indiceImpresora(ctx, QStringLiteral("Cocina")), 0)) {
                      ctx.impresora().imprimir({ElementoLinea::deTexto(QStringLiteral("Mesa %1").arg(n))});
                      ctx.impresora().finDocumento();
                  }
              }
              sistema->calla = luego == QLatin1String("callada");
              sistema->fijarAveriada(QStringLiteral("Cocina"), luego == QLatin1String("averiada"));
              prueba::esperarHasta([&] { return !diario->entradas.join(' ').contains("enviando"); }, 20000);
              return QStringLiteral("%1 | cancelados %2 | %3")
                  .arg(diario->entradas.join(QStringLiteral(", ")))
                  .arg(sistema->cancelados)
                  .arg(sistema->papel.join(QStringLiteral(", ")));
          }}});
}
