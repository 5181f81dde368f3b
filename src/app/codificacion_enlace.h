#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kestrel {

/// The text encoding of the link. Qt's converters serve every name Qt knows (all the usual ones where Qt has
/// ICU, as on Debian); windows-1252, the encoding of services that talk to Windows branches, comes from a table of
/// its own where Qt does not know it (the Qt for Windows is built without ICU and knows only the UTF names and
/// Latin-1). An empty name is the system's encoding (on Windows the ANSI code page).
class CodificacionEnlace {
public:
    explicit CodificacionEnlace(const QString& nombre);

    bool valida() const;
    /// A chunk of the link's bytes; a character cut between two chunks is completed by the next one.
    QString decodificar(const QByteArray& bytes);
    /// A character the encoding lacks becomes "?".
    QByteArray codificar(const QString& texto);
    /// Forgets a character left half-read (a new connection starts clean).
    void reiniciar();

private:
    QStringDecoder m_decodificador;
    QStringEncoder m_codificador;
    bool m_tabla1252 = false;
};

} // namespace kestrel
