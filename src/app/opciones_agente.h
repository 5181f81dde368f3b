#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "app/enlace.h"
#include "app/impresion_agente.h"
#include "app/opciones_salud.h"
#include "app/tls_enlace.h"

namespace kestrel {

/// The agent's options: the command line's, and later the same keys of a settings file.
struct OpcionesAgente {
    /// --servidor HOST[:PUERTO] and --codificacion NOMBRE; the defaults are the link's.
    ConfiguracionEnlace enlace;
    /// --carpeta; empty for the default.
    QString carpeta;
    OpcionesImpresion impresion;
    /// --tls, --ca, --certificado, --clave.
    OpcionesTls tls;
    /// --sondeo-impresoras, --metricas, --metricas-certificado, --metricas-clave.
    OpcionesSalud salud;
};

struct ResultadoOpciones {
    OpcionesAgente opciones;
    /// Empty when the command line was understood.
    QString error;
};

/// Walks "--nombre valor" pairs and lone "--bandera"s. conValor names the options that take a value and
/// banderas those that do not (both without their dashes); aplicar gets each one and answers a problem or
/// nothing. A word that is not an option goes to aplicar with an empty name. Returns the first problem: an
/// unknown option, a missing value or what aplicar said.
QString recorrerOpciones(const QStringList& argumentos, const QStringList& conValor, const QStringList& banderas,
                         const std::function<QString(const QString& nombre, const QString& valor)>& aplicar);

/// Applies one agent option by its name without dashes; returns the problem with its value, or nothing.
QString aplicarOpcionAgente(OpcionesAgente& opciones, const QString& nombre, const QString& valor);
/// The names of the agent's options, without their dashes.
const QStringList& nombresOpcionesAgente();

/// Reads the agent's command line (the program name excluded) over the options already set in base.
ResultadoOpciones analizarOpciones(const QStringList& argumentos, const OpcionesAgente& base = {});

/// The application folder: pedida when given (created when missing); otherwise the executable's folder when
/// it is writable, else the per-user data folder. Empty, with the reason in error, when none can be used.
QString resolverCarpetaAplicacion(const QString& pedida, const QString& carpetaEjecutable,
                                  const QString& carpetaUsuario, QString* error);

} // namespace kestrel
