#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstdint>

#include "json/cstringbuilder.h"
#include "json/numero_servicio.h"
#include "json/valor.h"

namespace kestrel {

/// Parses a message text with the lenient reader. Returns the top-level container (a value holding an
/// object or a list) or a value that is not a container ("no object") when the text does not start with
/// "{" or "[". Problems never throw: they are collected in jsonErrors(); the returned container holds what
/// was read before the first problem that stopped it and must not be used when jsonErrors() is not empty.
Valor jsonParse(const QString& texto);

/// The error text of the last jsonParse on this thread; empty when that parse was clean.
QString jsonErrors();

// The readers below are the steps jsonParse is made of. Each takes the text and the current position (a
// 1-based index in UTF-16 code units, beyond the end meaning the end) and leaves the position after what it
// consumed. They append their error entries to the error text of the current thread, which jsonParse empties.

/// Deepest nesting of objects and lists that a parse follows; deeper input ends the parse with an entry.
inline constexpr int jsonProfundidadMaxima = 512;
/// Once the error text is longer than this many code units the parse ends with an entry. Each entry may
/// quote the rest of the message, so without a bound a message full of bad tokens would need memory in
/// proportion to the square of its length.
inline constexpr qsizetype jsonErroresMaximos = 1 << 20;

/// What one parse carries besides the text and the position.
struct EstadoJson {
    /// The failure state: set when reading or storing a member or element raised a FalloPlataforma; every
    /// enclosing container then stops and reports it with its own key.
    bool hayFallo = false;
    QString descripcionFallo;
    /// Containers open around the current position.
    int profundidad = 0;
    /// Set when the parse cannot go on at all (nesting too deep, a token an array cannot get past, too many
    /// errors): every open container returns what it holds without further entries.
    bool detenido = false;
    /// Shared by every string of the parse, so that its chunk is allocated once rather than per string.
    cStringBuilder cadena;
    /// Member names already read in this parse, viewed in the message text: the names of a list of products
    /// repeat thousands of times and share one copy.
    QHash<QStringView, QString> claves;
};

/// Skips blanks, tabs, line ends, parentheses and // and /* */ comments (with their quirks: a lone "/" or "*"
/// is skipped like a blank, "**/" does not close a block comment).
void jsonSkip(const QString& texto, qsizetype& posicion);
/// Any value, by its first character; anything unclaimed goes to the number reader.
Valor jsonReadValue(const QString& texto, qsizetype& posicion, EstadoJson& estado);
std::shared_ptr<Dictionary> jsonReadObject(const QString& texto, qsizetype& posicion, EstadoJson& estado);
std::shared_ptr<Collection> jsonReadArray(const QString& texto, qsizetype& posicion, EstadoJson& estado);
/// A member name: double-quoted, single-quoted or bare, blanks dropped, up to and including the ":".
QString jsonReadKey(const QString& texto, qsizetype& posicion);
/// A string in double or single quotes with JSON escapes; an unterminated string takes the rest of the text.
QString jsonReadString(const QString& texto, qsizetype& posicion, cStringBuilder& cadena);
/// A number truncated to two fractional digits, read the same on every machine. A text that is not a
/// number raises "No coinciden los tipos" (13); one too large for a Decimal raises "Desbordamiento" (6).
Decimal jsonReadNumber(const QString& texto, qsizetype& posicion);
bool jsonReadBoolean(const QString& texto, qsizetype& posicion);
/// Null, or the empty value (with an entry) when the text is not "null".
Valor jsonReadNull(const QString& texto, qsizetype& posicion);

} // namespace kestrel
