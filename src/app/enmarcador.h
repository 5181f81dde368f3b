#pragma once

#include <QString>
#include <QStringView>

#include <deque>

namespace kestrel {

/// The marker the service writes after every message.
inline constexpr QStringView marcadorFinMensaje = u"_endMessage_";

/// One message cut out of the stream.
struct MensajeRecibido {
    QString texto;
    /// The message outgrew the limit: its text was dropped and only its size is known.
    bool descartado = false;
    /// Characters the message had (for a dropped one, those received before its marker).
    qsizetype tamano = 0;
};

/// Cuts the incoming text into messages at every marker. The service's writes may be merged or split by TCP
/// in any way, so each marker ends one message, in order; text after the last marker waits for more data.
/// Work is linear in the text received: each chunk is searched only from where a marker could start.
class Enmarcador {
public:
    /// The largest message accepted, in characters (8 MiB). Real messages are a few kilobytes and the largest
    /// invoice imaginable (hundreds of products with their details) stays well under 4 MiB; a message is held
    /// several times over while it is read, cut and parsed, so a bigger limit would only let an unterminated
    /// stream take the memory of a branch PC.
    static constexpr qsizetype limitePorOmision = qsizetype{8} * 1024 * 1024;
    /// Room the unfinished text keeps between messages; a burst may grow it far beyond, and it is given back
    /// once the burst has been cut.
    static constexpr qsizetype capacidadRetenida = 64 * 1024;

    explicit Enmarcador(qsizetype limite = limitePorOmision);

    /// Adds a chunk as received. Returns true when this chunk made the unfinished message outgrow the limit:
    /// its text is dropped at once, and everything up to its marker is skipped (reported once per message).
    bool agregar(QStringView trozo);

    bool hayMensaje() const { return !m_completos.empty(); }
    std::size_t mensajesPendientes() const { return m_completos.size(); }
    /// The oldest complete message; only valid when hayMensaje().
    MensajeRecibido tomarMensaje();

    /// Drops the unfinished text (a new connection never continues a message of the previous one) and returns
    /// how many characters were dropped. Complete messages are kept.
    qsizetype descartarIncompleto();

    /// Characters waiting for a marker.
    qsizetype pendiente() const { return m_descartando ? m_descartados : m_resto.size(); }
    qsizetype limite() const { return m_limite; }
    /// Characters of memory the unfinished text holds.
    qsizetype capacidad() const { return m_resto.capacity(); }

private:
    void cortar(qsizetype inicioBusqueda);

    qsizetype m_limite;
    QString m_resto;
    std::deque<MensajeRecibido> m_completos;
    bool m_descartando = false;
    qsizetype m_descartados = 0;
    /// While skipping, the last characters seen, so a marker split across chunks is still found.
    QString m_colaDescarte;
};

} // namespace kestrel
