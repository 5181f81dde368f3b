#pragma once

#include <QString>

#include <stdexcept>

namespace kestrel {

/// Numbers of the platform failures the agent raises. They keep the classic run-time numbers so that a
/// log line reads the same on every installation.
namespace numerofallo {
inline constexpr int llamadaNoValida = 5;
inline constexpr int desbordamiento = 6;
inline constexpr int fueraDeIntervalo = 9;
/// The printer system did not answer in time, or cannot be reached for a moment: nothing definite was said
/// about the printer, and the same call may work a little later.
inline constexpr int dispositivoNoDisponible = 68;
inline constexpr int divisionPorCero = 11;
inline constexpr int tiposNoCoinciden = 13;
inline constexpr int usoNoValidoDeNull = 94;
inline constexpr int seRequiereObjeto = 424;
inline constexpr int claveDuplicada = 457;
inline constexpr int imagenNoValida = 481;
inline constexpr int errorImpresora = 482;
} // namespace numerofallo

/// Raises a printer failure (482) with the platform's description.
[[noreturn]] void fallaImpresora(const QString& descripcion);

/// A raised failure: a number and a description. Every failure the documents and the JSON values can raise
/// is one of these; parse problems are never thrown, they are collected as text by the reader.
class FalloPlataforma : public std::runtime_error {
public:
    FalloPlataforma(int numero, QString descripcion);

    /// The failure with the standard description of its number.
    static FalloPlataforma estandar(int numero);
    /// The standard description of a failure number ("Error de la aplicación" for unknown numbers).
    static QString descripcionEstandar(int numero);

    int numero() const { return m_numero; }
    const QString& descripcion() const { return m_descripcion; }

private:
    int m_numero;
    QString m_descripcion;
};

} // namespace kestrel
