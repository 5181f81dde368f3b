#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;

namespace kestrel {

/// The window's log: a bounded text kept in a text box. Entries logged while the box is off screen wait in a
/// list and are put in on the next volcar(): the hidden agent never pays for laying out the text.
class RegistroVentana {
public:
    /// A single entry longer than this is cut (the rest is counted, not shown).
    static constexpr qsizetype limiteEntrada = 64 * 1024;
    /// When the log outgrows this, its older half is dropped.
    static constexpr qsizetype limite = 4 * 1024 * 1024;

    explicit RegistroVentana(QPlainTextEdit& caja) : m_caja(caja) {}

    /// Adds an entry and returns it as kept: cut to limiteEntrada, every line end a line feed.
    QString agregar(const QString& entrada);
    /// Puts the waiting entries into the box.
    void volcar();
    void limpiar();
    /// The log as shown, entries separated by line feeds.
    QString texto() const;

private:
    QPlainTextEdit& m_caja;
    qsizetype m_tamano = 0;
    QStringList m_pendiente;
    bool m_cajaConTexto = false;
};

} // namespace kestrel
