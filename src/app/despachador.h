#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrel {

class Documentos;

/// Handles one complete message: logs it, parses it, replaces the configuration and calls the renderer for
/// its "tipo". A failure raised while the message is handled is caught and logged in one line; the caller's
/// steps after processing (busy flag, status reply, closing line) always run.
class Despachador {
public:
    Despachador(Documentos& documentos, std::function<void(const QString&)> agregarLog);

    void procesarMensaje(const QString& mensaje);
    /// After each message: its "tipo" when the dispatcher handles it, "desconocido" for anything else.
    void fijarAlContar(std::function<void(const QString& tipo)> alContar) { m_alContar = std::move(alContar); }
    /// The message types the dispatcher handles.
    static const QStringList& tiposConocidos();

private:
    void despachar(const QString& mensaje);

    Documentos& m_documentos;
    std::function<void(const QString&)> m_agregarLog;
    std::function<void(const QString&)> m_alContar;
    QString m_tipo;
};

} // namespace kestrel
