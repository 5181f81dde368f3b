#include "json/cstringbuilder.h"

#include <cstring>
#include <limits>

#include "json/fallo.h"

namespace kestrel {

namespace {

[[noreturn]] void fallar(int numero) {
    throw FalloPlataforma::estandar(numero);
}

std::int32_t sumar(std::int32_t a, std::int32_t b) {
    std::int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        fallar(numerofallo::desbordamiento);
    return r;
}

std::int32_t multiplicar(std::int32_t a, std::int32_t b) {
    std::int32_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        fallar(numerofallo::desbordamiento);
    return r;
}

/// Byte length of a text of n code units.
std::int32_t bytes(qsizetype n) {
    if (n > std::numeric_limits<std::int32_t>::max())
        fallar(numerofallo::desbordamiento);
    return multiplicar(static_cast<std::int32_t>(n), 2);
}

} // namespace

void cStringBuilder::ChunkSize(std::int32_t iChunkSize) {
    if (iChunkSize < 1)
        fallar(numerofallo::llamadaNoValida);
    m_chunk = multiplicar(iChunkSize, 2);
}

QString cStringBuilder::toString() const {
    if (m_usado == 0)
        return {};
    return QString(m_buffer.constData(), m_usado / 2);
}

void cStringBuilder::crecer(std::int32_t necesario) {
    if (necesario <= m_capacidad)
        return;
    // Whole chunks, computed at once so that one long text costs one copy of the buffer.
    const std::int32_t falta = sumar(necesario, -m_capacidad);
    const std::int32_t chunks = falta / m_chunk + (falta % m_chunk != 0 ? 1 : 0);
    const std::int32_t nueva = sumar(m_capacidad, multiplicar(chunks, m_chunk));
    m_buffer.resize(nueva / 2, QLatin1Char(' '));
    m_capacidad = nueva;
}

void cStringBuilder::anexar(const QChar* datos, qsizetype n) {
    if (n == 0)
        return;
    const std::int32_t necesario = sumar(m_usado, bytes(n));
    crecer(necesario);
    std::memcpy(m_buffer.data() + m_usado / 2, datos, static_cast<std::size_t>(n) * sizeof(QChar));
    m_usado = necesario;
}

void cStringBuilder::Append(QChar c) {
    const std::int32_t necesario = sumar(m_usado, 2);
    crecer(necesario);
    m_buffer.data()[m_usado / 2] = c;
    m_usado = necesario;
}

void cStringBuilder::AppendNL(const QString& sThis) {
    Append(sThis);
    Append(QStringView(u"\r\n"));
}

void cStringBuilder::TheString(const QString& sThis) {
    if (sThis.isEmpty()) {
        Clear();
        return;
    }
    const std::int32_t n = bytes(sThis.size());
    crecer(n);
    std::memcpy(m_buffer.data(), sThis.constData(), static_cast<std::size_t>(sThis.size()) * sizeof(QChar));
    m_usado = n;
}

void cStringBuilder::Clear() {
    m_buffer = QString();
    m_usado = 0;
    m_capacidad = 0;
}

void cStringBuilder::Insert(std::int32_t iIndex, const QString& sThis) {
    const std::int32_t desde = multiplicar(iIndex, 2);
    if (desde > m_usado || iIndex < 0)
        fallar(numerofallo::fueraDeIntervalo);
    const std::int32_t n = bytes(sThis.size());
    if (n == 0)
        return;
    crecer(sumar(m_usado, n));
    QChar* datos = m_buffer.data();
    std::memmove(datos + (desde + n) / 2, datos + desde / 2, static_cast<std::size_t>(m_usado - desde));
    std::memcpy(datos + desde / 2, sThis.constData(), static_cast<std::size_t>(n));
    m_usado += n;
}

void cStringBuilder::Remove(std::int32_t iIndex, std::int32_t lLen) {
    if (iIndex < 0 || lLen < 0)
        fallar(numerofallo::fueraDeIntervalo);
    const std::int32_t desde = multiplicar(iIndex, 2);
    const std::int32_t hasta = multiplicar(sumar(iIndex, lLen), 2);
    if (desde > m_usado || hasta > m_usado)
        fallar(numerofallo::fueraDeIntervalo);
    if (lLen == 0)
        return;
    QChar* datos = m_buffer.data();
    std::memmove(datos + desde / 2, datos + hasta / 2, static_cast<std::size_t>(m_usado - hasta));
    m_usado -= hasta - desde;
}

std::int32_t cStringBuilder::Find(const QString& sToFind, std::int32_t lStartIndex, std::int32_t compare) const {
    if (compare != 0 && compare != 1)
        fallar(numerofallo::llamadaNoValida);
    const qsizetype desde = lStartIndex < 1 ? 0 : lStartIndex - 1;
    const QStringView construido(m_buffer.constData(), m_usado / 2);
    if (desde > construido.size())
        return 0;
    const qsizetype i = construido.indexOf(sToFind, desde, compare == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive);
    return i < 0 ? 0 : static_cast<std::int32_t>(i + 1);
}

void cStringBuilder::HeapMinimize() {
    std::int32_t capacidad = m_capacidad;
    while (capacidad - m_usado > m_chunk)
        capacidad -= m_chunk;
    if (capacidad == m_capacidad)
        return;
    m_buffer.truncate(capacidad / 2);
    m_buffer.squeeze();
    m_capacidad = capacidad;
}

} // namespace kestrel
