#include "app/enmarcador.h"

#include <algorithm>

namespace kestrel {

namespace {
constexpr qsizetype largoMarcador = marcadorFinMensaje.size();
}

Enmarcador::Enmarcador(qsizetype limite) : m_limite(std::max<qsizetype>(limite, largoMarcador)) {}

bool Enmarcador::agregar(QStringView trozo) {
    if (m_descartando) {
        QString ventana = m_colaDescarte;
        ventana.append(trozo);
        const qsizetype fin = ventana.indexOf(marcadorFinMensaje);
        if (fin < 0) {
            m_descartados += trozo.size();
            m_colaDescarte = ventana.right(largoMarcador - 1);
            return false;
        }
        m_descartados += fin - m_colaDescarte.size();
        m_completos.push_back({QString(), true, m_descartados});
        m_descartando = false;
        m_descartados = 0;
        m_colaDescarte.clear();
        m_resto = ventana.mid(fin + largoMarcador);
        cortar(0);
    } else {
        const qsizetype inicio = std::max<qsizetype>(0, m_resto.size() - (largoMarcador - 1));
        m_resto.append(trozo);
        cortar(inicio);
    }
    if (m_resto.size() <= m_limite)
        return false;
    m_descartando = true;
    m_descartados = m_resto.size();
    m_colaDescarte = m_resto.right(largoMarcador - 1);
    m_resto = QString();
    return true;
}

void Enmarcador::cortar(qsizetype inicioBusqueda) {
    qsizetype desde = 0;
    for (;;) {
        const qsizetype fin = m_resto.indexOf(marcadorFinMensaje, std::max(desde, inicioBusqueda));
        if (fin < 0)
            break;
        m_completos.push_back({m_resto.mid(desde, fin - desde), false, fin - desde});
        desde = fin + largoMarcador;
    }
    if (desde > 0)
        m_resto.remove(0, desde);
    // Only once most of it is free, so the work stays linear in the text received.
    if (m_resto.capacity() > capacidadRetenida && m_resto.size() < m_resto.capacity() / 4)
        m_resto.squeeze();
}

MensajeRecibido Enmarcador::tomarMensaje() {
    MensajeRecibido m = std::move(m_completos.front());
    m_completos.pop_front();
    return m;
}

qsizetype Enmarcador::descartarIncompleto() {
    const qsizetype n = pendiente();
    m_resto = QString();
    m_descartando = false;
    m_descartados = 0;
    m_colaDescarte.clear();
    return n;
}

} // namespace kestrel
