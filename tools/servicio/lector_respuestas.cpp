#include "lector_respuestas.h"

namespace kestrel {

QList<QByteArray> LectorRespuestas::agregar(const QByteArray& datos) {
    QList<QByteArray> textos;
    m_buffer.append(datos);
    qsizetype inicio = 0;
    for (qsizetype i = m_revisado; i < m_buffer.size(); ++i) {
        const char c = m_buffer.at(i);
        if (m_profundidad == 0 && c != '{') {
            // Stray bytes between objects: hand them over as they are, one text per run.
            qsizetype j = i;
            while (j < m_buffer.size() && m_buffer.at(j) != '{')
                ++j;
            textos.append(m_buffer.mid(i, j - i));
            i = j - 1;
            inicio = j;
            continue;
        }
        if (m_enTexto) {
            if (m_escape)
                m_escape = false;
            else if (c == '\\')
                m_escape = true;
            else if (c == '"')
                m_enTexto = false;
            continue;
        }
        if (c == '"') {
            m_enTexto = true;
        } else if (c == '{') {
            ++m_profundidad;
        } else if (c == '}' && --m_profundidad == 0) {
            textos.append(m_buffer.mid(inicio, i + 1 - inicio));
            inicio = i + 1;
        }
    }
    m_buffer.remove(0, inicio);
    m_revisado = m_buffer.size();
    return textos;
}

} // namespace kestrel
