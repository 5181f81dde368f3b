#include <gtest/gtest.h>

#include <QJsonArray>

#include "print/win/estado_spooler.h"
#include "tablas.h"

namespace kestrel {
namespace {

using prueba::comprobarTablas;

/// "ausente", or "TRABAJO IMPRESORA [MENSAJE]" with the two status words in hexadecimal.
LecturaSpooler leerLectura(const QString& texto) {
    LecturaSpooler l;
    if (texto == QLatin1String("ausente")) {
        l.presente = false;
        return l;
    }
    const QStringList partes = texto.split(QLatin1Char(' '));
    l.trabajo = partes.value(0).toUInt(nullptr, 16);
    l.impresora = partes.value(1).toUInt(nullptr, 16);
    l.mensaje = partes.mid(2).join(QLatin1Char(' '));
    return l;
}

// Each row is what the follow-up sees, poll after poll, until the job is decided: the verdict names the poll
// (from 1) that decided it, so a state read too early or too late shows.
TEST(EstadoSpooler, SecuenciasDeTrabajos) {
    comprobarTablas(
        QStringLiteral("spooler"),
        {{QStringLiteral("estadoSpooler"),
          [](const QJsonArray& a) {
              const QJsonArray lecturas = a.at(0).toArray();
              for (int i = 0; i < lecturas.size(); ++i) {
                  const EstadoCola e = estadoSpooler(leerLectura(lecturas.at(i).toString()));
                  if (e.fin == EstadoCola::Fin::Impreso)
                      return QStringLiteral("%1: impreso").arg(i + 1);
                  if (e.fin == EstadoCola::Fin::Fallido)
                      return QStringLiteral("%1: fallido (%2)").arg(i + 1).arg(e.motivo);
              }
              return QStringLiteral("pendiente");
          }},
         {QStringLiteral("motivoImpresoraSpooler"),
          [](const QJsonArray& a) { return motivoImpresoraSpooler(a.at(0).toString().toUInt(nullptr, 16)); }},
         {QStringLiteral("estadoImpresoraSpooler"),
          [](const QJsonArray& a) {
              return textoEstado(estadoImpresoraSpooler(a.at(0).toString().toUInt(nullptr, 16)));
          }},
         {QStringLiteral("spoolerSinRespuesta"), [](const QJsonArray& a) {
              return spoolerSinRespuesta(a.at(0).toString().toUInt()) ? QStringLiteral("sin respuesta")
                                                                      : QStringLiteral("respuesta");
          }}});
}

} // namespace
} // namespace kestrel
