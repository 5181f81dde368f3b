#pragma once

#include <QByteArray>
#include <QList>

namespace kestrel {

/// Splits what an agent sends into its JSON texts. The agent writes its identification and status replies
/// back to back, without separator, so they are cut where the outermost object closes (braces inside
/// strings do not count). Whatever does not start with "{" is returned as it stands.
class LectorRespuestas {
public:
    /// Adds received bytes and returns the texts they complete, in order.
    QList<QByteArray> agregar(const QByteArray& datos);
    /// Bytes of an unfinished text.
    const QByteArray& pendiente() const { return m_buffer; }

private:
    QByteArray m_buffer;
    qsizetype m_revisado = 0;
    int m_profundidad = 0;
    bool m_enTexto = false;
    bool m_escape = false;
};

} // namespace kestrel
