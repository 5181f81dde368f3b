#pragma once

#include <QString>

#include "print/contexto.h"

namespace kestrel {

/// The "Descripcion" of the first setting whose "Nombre" equals nombre; empty when none matches. Raises when
/// the configuration is not a list.
QString valorConfiguracion(ContextoImpresion& ctx, const QString& nombre);
/// True when the first setting named nombre has "Visible" equal to "1".
bool configuracionVisible(ContextoImpresion& ctx, const QString& nombre);
/// Fills ctx.ajustes from the configuration, with the defaults of each setting.
void cargarConfiguracion(ContextoImpresion& ctx);

} // namespace kestrel
