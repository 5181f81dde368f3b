#pragma once

#include <QString>
#include <QStringList>

#include "app/impresion_agente.h"

namespace kestrel {

/// The agent's command line.
struct OpcionesAgente {
    static constexpr quint16 puertoPorOmision = 3000;

    QString servidor = QStringLiteral("127.0.0.1");
    quint16 puerto = puertoPorOmision;
    /// --carpeta; empty for the default.
    QString carpeta;
    /// --codificacion; empty for the system's.
    QString codificacion;
    OpcionesImpresion impresion;
};

struct ResultadoOpciones {
    OpcionesAgente opciones;
    /// Empty when the command line was understood.
    QString error;
};

/// Reads the agent's options (the program name excluded).
ResultadoOpciones analizarOpciones(const QStringList& argumentos);

/// The application folder: pedida when given (created when missing); otherwise the executable's folder when
/// it is writable, else the per-user data folder. Empty, with the reason in error, when none can be used.
QString resolverCarpetaAplicacion(const QString& pedida, const QString& carpetaEjecutable,
                                  const QString& carpetaUsuario, QString* error);

} // namespace kestrel
