#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace kestrel {

/// Growable text buffer for long runs of appends. The buffer is padded beyond the built text and grows in
/// fixed chunks (8192 characters unless told otherwise), so appending copies only the appended text while
/// there is room. Lengths are kept in bytes, two per UTF-16 code unit, and every sum or product of them is
/// overflow-checked (FalloPlataforma 6); the members speak in characters.
///
/// A builder holds at least one chunk once anything was appended; a caller that builds many short texts
/// should keep one builder and empty it with Remove(0, Length()), which keeps the buffer.
class cStringBuilder {
public:
    /// Built text length in characters.
    std::int32_t Length() const { return m_usado / 2; }
    /// Buffer length in characters.
    std::int32_t Capacity() const { return m_capacidad / 2; }
    /// Growth step in characters.
    std::int32_t ChunkSize() const { return m_chunk / 2; }
    /// Sets the growth step; a value below 1 raises failure 5 (a chunk must be positive for growth to end)
    /// and leaves the step as it was.
    void ChunkSize(std::int32_t iChunkSize);

    /// The built text (one copy of the used part).
    QString toString() const;
    /// Replaces the built text; the rest of the buffer keeps its old content as padding. An empty text
    /// releases the buffer.
    void TheString(const QString& sThis);
    /// Releases the buffer; the chunk size stays.
    void Clear();

    void Append(const QString& sThis) { anexar(sThis.constData(), sThis.size()); }
    void Append(QStringView sThis) { anexar(sThis.data(), sThis.size()); }
    void Append(QChar c);
    void AppendByVal(QString sThis) { Append(sThis); }
    /// Appends the text and CR LF.
    void AppendNL(const QString& sThis);

    /// Inserts before character iIndex (0-based); outside 0..Length raises failure 9 and changes nothing.
    void Insert(std::int32_t iIndex, const QString& sThis);
    void InsertByVal(std::int32_t iIndex, QString sThis) { Insert(iIndex, sThis); }
    /// Removes lLen characters from character iIndex (0-based); a range outside the built text raises
    /// failure 9 and changes nothing. The capacity does not shrink.
    void Remove(std::int32_t iIndex, std::int32_t lLen);
    /// 1-based position of sToFind in the built text from character lStartIndex (a start below 1 means the
    /// first character), 0 when absent. compare 0 is exact, 1 ignores case; any other value raises failure 5.
    /// The padding is never searched.
    std::int32_t Find(const QString& sToFind, std::int32_t lStartIndex = 1, std::int32_t compare = 0) const;
    /// Gives back spare capacity beyond one chunk.
    void HeapMinimize();

private:
    void anexar(const QChar* datos, qsizetype n);
    /// Grows by whole chunks until the capacity is at least `necesario` bytes.
    void crecer(std::int32_t necesario);

    QString m_buffer;
    std::int32_t m_chunk = 16384;
    std::int32_t m_usado = 0;
    std::int32_t m_capacidad = 0;
};

} // namespace kestrel
