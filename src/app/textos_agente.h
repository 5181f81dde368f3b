#pragma once

#include <QString>

namespace kestrel::textosagente {

/// The title of the agent's message boxes.
inline const QString tituloAplicacion = QStringLiteral("Kestrel");
inline const QString tituloVentana = QStringLiteral("Servidor de Impresoras");
inline const QString tituloGlobos = QStringLiteral("Sistema de impresora");

} // namespace kestrel::textosagente
