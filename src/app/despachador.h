#pragma once

#include <QString>

#include <functional>

#include "json/valor.h"

namespace kestrel {

class Documentos;

/// Handles one complete message: logs it, parses it, replaces the configuration and calls the renderer for
/// its "tipo". A failure raised while the message is handled is caught and logged in one line; the caller's
/// steps after processing (busy flag, status reply, closing line) always run.
class Despachador {
public:
    /// documentos may be null: the message is then logged as having no renderer installed.
    Despachador(Documentos* documentos, std::function<void(const QString&)> agregarLog);

    void procesarMensaje(const QString& mensaje);

    /// The "config" member of the last message that parsed cleanly; no object until the first one.
    const Valor& configuracion() const { return m_configuracion; }

private:
    void despachar(const QString& mensaje);
    void sinImpresion(const QString& tipo);

    Documentos* m_documentos;
    std::function<void(const QString&)> m_agregarLog;
    Valor m_configuracion;
};

} // namespace kestrel
