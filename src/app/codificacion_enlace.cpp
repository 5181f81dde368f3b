#include "app/codificacion_enlace.h"

#include <array>

namespace kestrel {

namespace {

// Bytes 0x80-0x9F of windows-1252; the rest is Latin-1. The five bytes the code page leaves undefined read as the
// control character of the same number, as Windows itself reads them.
constexpr std::array<char16_t, 32> tabla1252{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                             0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QStringDecoder decodificadorDe(const QString& nombre) {
    if (nombre.isEmpty())
        return QStringDecoder(QStringConverter::System);
    return QStringDecoder(nombre.toLatin1().constData());
}

QStringEncoder codificadorDe(const QString& nombre) {
    if (nombre.isEmpty())
        return QStringEncoder(QStringConverter::System);
    return QStringEncoder(nombre.toLatin1().constData());
}

} // namespace

CodificacionEnlace::CodificacionEnlace(const QString& nombre)
    : m_decodificador(decodificadorDe(nombre)), m_codificador(codificadorDe(nombre)) {
    const QString n = nombre.trimmed().toLower();
    m_tabla1252 = (!m_decodificador.isValid() || !m_codificador.isValid()) &&
                  (n == QLatin1String("windows-1252") || n == QLatin1String("cp1252"));
}

bool CodificacionEnlace::valida() const {
    return m_tabla1252 || (m_decodificador.isValid() && m_codificador.isValid());
}

QString CodificacionEnlace::decodificar(const QByteArray& bytes) {
    if (!m_tabla1252)
        return m_decodificador.decode(bytes);
    QString texto(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        texto[i] = QChar(b >= 0x80 && b < 0xA0 ? tabla1252[b - 0x80] : char16_t(b));
    }
    return texto;
}

QByteArray CodificacionEnlace::codificar(const QString& texto) {
    if (!m_tabla1252)
        return m_codificador.encode(texto);
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        char b = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b = static_cast<char>(u);
        } else {
            for (std::size_t i = 0; i < tabla1252.size(); ++i)
                if (tabla1252[i] == u)
                    b = static_cast<char>(0x80 + i);
        }
        bytes.append(b);
    }
    return bytes;
}

void CodificacionEnlace::reiniciar() {
    m_decodificador.resetState();
}

} // namespace kestrel
