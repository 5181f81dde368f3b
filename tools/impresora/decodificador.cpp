#include "decodificador.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "print/escpos/pc858.h"

namespace kestrel {

namespace {

constexpr int ht = 0x09;
constexpr int lf = 0x0A;
constexpr int ff = 0x0C;
constexpr int cr = 0x0D;
constexpr int dle = 0x10;
constexpr int can = 0x18;
constexpr int esc = 0x1B;
constexpr int fs = 0x1C;
constexpr int gs = 0x1D;

constexpr int puntosLetraA = 12;
constexpr int puntosLetraB = 9;
// Tab stops every eight characters, the printers' default.
constexpr int columnasTabulador = 8;
// ESC D takes at most 32 tab stops and its closing NUL; a barcode's data ends with NUL within 255 bytes.
constexpr qsizetype largoMaximoTabuladores = 33;
constexpr qsizetype largoMaximoBarras = 256;

/// A command whose parameters have a fixed count, after its two-byte prefix.
struct Fijo {
    int prefijo;
    char comando;
    int parametros;
};

constexpr Fijo fijos[] = {
    {esc, '\x0C', 0}, {esc, ' ', 1},  {esc, '!', 1}, {esc, '$', 2}, {esc, '%', 1}, {esc, '-', 1}, {esc, '2', 0},
    {esc, '3', 1},    {esc, '=', 1},  {esc, '?', 1}, {esc, '@', 0}, {esc, 'E', 1}, {esc, 'G', 1}, {esc, 'J', 1},
    {esc, 'L', 0},    {esc, 'M', 1},  {esc, 'R', 1}, {esc, 'S', 0}, {esc, 'T', 1}, {esc, 'U', 1}, {esc, 'V', 1},
    {esc, 'W', 8},    {esc, '\\', 2}, {esc, 'a', 1}, {esc, 'c', 2}, {esc, 'd', 1}, {esc, 'e', 1}, {esc, 'i', 0},
    {esc, 'm', 0},    {esc, 'p', 3},  {esc, 'r', 1}, {esc, 't', 1}, {esc, 'u', 1}, {esc, 'v', 0}, {esc, '{', 1},
    {gs, '!', 1},     {gs, '$', 2},   {gs, '/', 1},  {gs, ':', 0},  {gs, 'B', 1},  {gs, 'H', 1},  {gs, 'I', 1},
    {gs, 'L', 2},     {gs, 'P', 2},   {gs, 'T', 1},  {gs, 'W', 2},  {gs, '\\', 2}, {gs, '^', 3},  {gs, 'a', 1},
    {gs, 'b', 1},     {gs, 'c', 0},   {gs, 'f', 1},  {gs, 'h', 1},  {gs, 'r', 1},  {gs, 'w', 1},  {dle, '\x04', 1},
    {dle, '\x05', 1}, {fs, '!', 1},   {fs, '&', 0},  {fs, '-', 1},  {fs, '.', 0},  {fs, 'C', 1},  {fs, 'S', 2},
    {fs, 'W', 1},     {fs, 'p', 2},
};

int byteEn(QByteArrayView d, qsizetype i) {
    return i < d.size() ? static_cast<unsigned char>(d[i]) : -1;
}

/// A length counted from i that the data may not hold: 0 (cut short) when it runs past the end.
qsizetype siCabe(QByteArrayView d, qsizetype i, qint64 largo) {
    return largo <= d.size() - i ? static_cast<qsizetype>(largo) : 0;
}

struct Medida {
    qsizetype largo = 0;
    bool conocido = true;
};

/// Where a NUL ends a run that starts at desde, looking no further than maximo bytes; the run is taken as
/// maximo bytes long when none comes.
qsizetype hastaNul(QByteArrayView d, qsizetype i, qsizetype desde, qsizetype maximo) {
    for (qsizetype k = desde; k < desde + maximo; ++k) {
        const int b = byteEn(d, k);
        if (b < 0)
            return 0;
        if (b == 0)
            return k + 1 - i;
    }
    return desde + maximo - i;
}

/// ESC & y c1 c2 and, for each character from c1 to c2, its width x and y * x bytes of dots.
qsizetype largoCaracteresPropios(QByteArrayView d, qsizetype i) {
    const int y = byteEn(d, i + 2);
    const int c1 = byteEn(d, i + 3);
    const int c2 = byteEn(d, i + 4);
    if (c2 < 0)
        return 0;
    qsizetype k = i + 5;
    for (int c = c1; c <= c2; ++c) {
        const int x = byteEn(d, k);
        if (x < 0)
            return 0;
        k += 1 + static_cast<qsizetype>(y) * x;
    }
    return siCabe(d, i, k - i);
}

Medida medir(QByteArrayView d, qsizetype i) {
    const int b = byteEn(d, i);
    if (b != esc && b != gs && b != fs && b != dle)
        return {1, (b >= 0x20 && b != 0x7F) || b == lf || b == ht || b == cr || b == ff || b == can};
    const int c = byteEn(d, i + 1);
    if (c < 0)
        return {0, true};
    const auto fijo = std::find_if(std::begin(fijos), std::end(fijos),
                                   [b, c](const Fijo& f) { return f.prefijo == b && f.comando == c; });
    if (fijo != std::end(fijos))
        return {siCabe(d, i, 2 + fijo->parametros), true};
    // These carry the size of their data in their parameters: until those have come the command is cut short.
    const auto p = [&d, i](int k) { return qint64{std::max(byteEn(d, i + k), 0)}; };
    const bool completo3 = byteEn(d, i + 2) >= 0;
    switch (b * 256 + c) {
    case esc * 256 + '&':
        return {largoCaracteresPropios(d, i), true};
    case esc * 256 + '*':
        return {byteEn(d, i + 4) < 0 ? 0 : siCabe(d, i, 5 + (p(3) + 256 * p(4)) * (p(2) < 2 ? 1 : 3)), true};
    case esc * 256 + 'D':
        return {hastaNul(d, i, i + 2, largoMaximoTabuladores), true};
    case esc * 256 + '(':
    case gs * 256 + '(':
    case fs * 256 + '(':
        return {byteEn(d, i + 4) < 0 ? 0 : siCabe(d, i, 5 + p(3) + 256 * p(4)), true};
    case gs * 256 + '*':
        return {byteEn(d, i + 3) < 0 ? 0 : siCabe(d, i, 4 + p(2) * p(3) * 8), true};
    case gs * 256 + '8':
        return {byteEn(d, i + 6) < 0 ? 0 : siCabe(d, i, 7 + p(3) + (p(4) << 8) + (p(5) << 16) + (p(6) << 24)), true};
    case gs * 256 + 'V': {
        const int m = byteEn(d, i + 2);
        return {!completo3 ? 0 : siCabe(d, i, (m == 65 || m == 66 || m >= 97) ? 4 : 3), true};
    }
    case gs * 256 + 'k':
        if (!completo3)
            return {0, true};
        if (p(2) <= 6)
            return {hastaNul(d, i, i + 3, largoMaximoBarras), true};
        return {byteEn(d, i + 3) < 0 ? 0 : siCabe(d, i, 4 + p(3)), true};
    case gs * 256 + 'v':
        if (byteEn(d, i + 2) != '0')
            break;
        return {byteEn(d, i + 7) < 0 ? 0 : siCabe(d, i, 8 + (p(4) + 256 * p(5)) * (p(6) + 256 * p(7))), true};
    case dle * 256 + 0x14:
        return {!completo3 ? 0 : siCabe(d, i, p(2) == 8 ? 10 : 5), true};
    default:
        break;
    }
    return {2, false};
}

QString hexadecimal(QByteArrayView bytes) {
    return QStringLiteral("[?%1]").arg(QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper()));
}

/// Follows the printer's state through the stream and writes down each line as it would come out.
class Lector {
public:
    explicit Lector(int puntosAncho) : m_puntosAncho(puntosAncho) {}

    QList<RenglonEscpos> leer(QByteArrayView d);

private:
    void comando(QByteArrayView d, qsizetype i, qsizetype largo, bool trasImagen);
    void caracter(QChar c);
    void abrir();
    void terminarLinea();
    void terminarSiHay() {
        if (m_abierta)
            terminarLinea();
    }
    void marca(const QString& texto);
    void imagen(int ancho, int alto, bool incompleta, bool trasImagen);
    void desconocido(QByteArrayView bytes);
    int puntosCaracter() const { return (m_letra.fuenteB ? puntosLetraB : puntosLetraA) * m_letra.ancho; }

    int m_puntosAncho;
    QList<RenglonEscpos> m_renglones;
    RenglonEscpos m_letra;
    RenglonEscpos m_linea;
    bool m_abierta = false;
    int m_puntosUsados = 0;
    bool m_trasImagen = false;
};

QList<RenglonEscpos> Lector::leer(QByteArrayView d) {
    for (qsizetype i = 0; i < d.size();) {
        // Only a picture right after a picture continues it.
        const bool trasImagen = std::exchange(m_trasImagen, false);
        const Medida medida = medir(d, i);
        if (medida.largo == 0) {
            // Cut short by the end of the data: a picture still shows as one, anything else as its first bytes.
            if (byteEn(d, i) == gs && byteEn(d, i + 1) == 'v' && byteEn(d, i + 2) == '0' && byteEn(d, i + 7) >= 0)
                imagen(8 * (byteEn(d, i + 4) + 256 * byteEn(d, i + 5)), byteEn(d, i + 6) + 256 * byteEn(d, i + 7), true,
                       trasImagen);
            else
                desconocido(d.sliced(i, std::min<qsizetype>(d.size() - i, 3)));
            break;
        }
        if (medida.conocido)
            comando(d, i, medida.largo, trasImagen);
        else
            desconocido(d.sliced(i, medida.largo));
        i += medida.largo;
    }
    terminarSiHay();
    return m_renglones;
}

void Lector::comando(QByteArrayView d, qsizetype i, qsizetype largo, bool trasImagen) {
    const int b = byteEn(d, i);
    const int c = byteEn(d, i + 1);
    const int n = largo > 2 ? byteEn(d, i + 2) : 0;
    switch (largo == 1 ? b : b * 256 + c) {
    case lf:
    case ff:
        terminarLinea();
        return;
    case ht: {
        const int columna = m_abierta ? m_puntosUsados / puntosCaracter() : 0;
        for (int k = columna % columnasTabulador; k < columnasTabulador; ++k)
            caracter(u' ');
        return;
    }
    case cr:
    case can:
        return;
    case esc * 256 + '@':
        m_letra = RenglonEscpos();
        return;
    case esc * 256 + '!':
        m_letra.fuenteB = (n & 0x01) != 0;
        m_letra.negrita = (n & 0x08) != 0;
        m_letra.alto = (n & 0x10) != 0 ? 2 : 1;
        m_letra.ancho = (n & 0x20) != 0 ? 2 : 1;
        return;
    case esc * 256 + 'E':
        m_letra.negrita = (n & 0x01) != 0;
        return;
    case esc * 256 + 'M':
        m_letra.fuenteB = n == 1 || n == '1';
        return;
    case gs * 256 + '!':
        m_letra.ancho = ((n >> 4) & 0x07) + 1;
        m_letra.alto = (n & 0x07) + 1;
        return;
    case esc * 256 + 't':
        if (n != 19)
            desconocido(d.sliced(i, largo));
        return;
    case esc * 256 + 'J':
        terminarSiHay();
        return;
    case esc * 256 + 'd':
        terminarSiHay();
        marca(QStringLiteral("[avance %1]").arg(n));
        return;
    case esc * 256 + 'i':
    case esc * 256 + 'm':
    case gs * 256 + 'V':
        terminarSiHay();
        marca(QStringLiteral("[corte]"));
        return;
    case esc * 256 + 'p':
        marca(QStringLiteral("[cajon]"));
        return;
    case dle * 256 + 0x14:
        if (n == 1)
            marca(QStringLiteral("[cajon]"));
        return;
    case dle * 256 + 0x04:
        marca(QStringLiteral("[estado %1]").arg(n));
        return;
    case gs * 256 + 'k':
        terminarSiHay();
        marca(QStringLiteral("[barras]"));
        return;
    case esc * 256 + '*':
        imagen(byteEn(d, i + 3) + 256 * byteEn(d, i + 4), n < 2 ? 8 : 24, false, trasImagen);
        return;
    case gs * 256 + 'v':
        imagen(8 * (byteEn(d, i + 4) + 256 * byteEn(d, i + 5)), byteEn(d, i + 6) + 256 * byteEn(d, i + 7), false,
               trasImagen);
        return;
    default:
        break;
    }
    if (largo == 1)
        caracter(caracterPc858(static_cast<unsigned char>(b)));
}

void Lector::abrir() {
    if (m_abierta)
        return;
    m_linea = m_letra;
    m_abierta = true;
    m_puntosUsados = 0;
}

void Lector::caracter(QChar c) {
    abrir();
    if (m_puntosAncho > 0 && m_puntosUsados > 0 && m_puntosUsados + puntosCaracter() > m_puntosAncho) {
        terminarLinea();
        abrir();
    }
    m_linea.texto.append(c);
    m_puntosUsados += puntosCaracter();
}

void Lector::terminarLinea() {
    abrir();
    qsizetype largo = m_linea.texto.size();
    while (largo > 0 && m_linea.texto.at(largo - 1) == u' ')
        --largo;
    m_linea.texto.truncate(largo);
    m_renglones.append(m_linea);
    m_abierta = false;
}

void Lector::marca(const QString& texto) {
    RenglonEscpos r;
    r.tipo = RenglonEscpos::Tipo::marca;
    r.texto = texto;
    m_renglones.append(r);
}

void Lector::imagen(int ancho, int alto, bool incompleta, bool trasImagen) {
    terminarSiHay();
    // A tall picture goes out in bands, one command after the other: the reader sees one picture.
    if (trasImagen && !m_renglones.isEmpty() && m_renglones.last().tipo == RenglonEscpos::Tipo::imagen &&
        m_renglones.last().puntos.width() == ancho) {
        RenglonEscpos& anterior = m_renglones.last();
        anterior.puntos.setHeight(anterior.puntos.height() + alto);
        anterior.incompleta = incompleta;
    } else {
        RenglonEscpos r;
        r.tipo = RenglonEscpos::Tipo::imagen;
        r.puntos = QSize(ancho, alto);
        r.incompleta = incompleta;
        m_renglones.append(r);
    }
    m_trasImagen = !incompleta;
}

void Lector::desconocido(QByteArrayView bytes) {
    abrir();
    m_linea.texto.append(hexadecimal(bytes));
}

} // namespace

RenglonEscpos RenglonEscpos::deTexto(const QString& texto, const LetraEscpos& letra) {
    RenglonEscpos r;
    r.texto = texto;
    r.fuenteB = letra.fuenteB;
    r.ancho = letra.dobleAncho ? 2 : 1;
    r.alto = letra.dobleAlto ? 2 : 1;
    r.negrita = letra.negrita;
    return r;
}

QString RenglonEscpos::comoAnotado() const {
    switch (tipo) {
    case Tipo::imagen:
        return QStringLiteral("[imagen %1x%2%3]")
            .arg(puntos.width())
            .arg(puntos.height())
            .arg(incompleta ? QStringLiteral(" incompleta") : QString());
    case Tipo::marca:
        return texto;
    case Tipo::texto:
        break;
    }
    QString letra = QStringLiteral("[") + (fuenteB ? u'B' : u'A');
    if (ancho != 1 || alto != 1)
        letra += QStringLiteral(" %1x%2").arg(ancho).arg(alto);
    if (negrita)
        letra += QStringLiteral(" N");
    letra += u']';
    return texto.isEmpty() ? letra : letra + u' ' + texto;
}

QList<RenglonEscpos> decodificarEscpos(QByteArrayView datos, int puntosAncho) {
    return Lector(puntosAncho).leer(datos);
}

QStringList textoAnotadoEscpos(QByteArrayView datos, int puntosAncho) {
    QStringList lineas;
    for (const RenglonEscpos& r : decodificarEscpos(datos, puntosAncho))
        lineas << r.comoAnotado();
    return lineas;
}

QStringList textoPlanoEscpos(QByteArrayView datos, int puntosAncho) {
    QStringList lineas;
    for (const RenglonEscpos& r : decodificarEscpos(datos, puntosAncho)) {
        if (r.tipo == RenglonEscpos::Tipo::texto)
            lineas << r.texto;
    }
    return lineas;
}

qsizetype largoComandoEscpos(QByteArrayView datos, qsizetype desde) {
    return medir(datos, desde).largo;
}

} // namespace kestrel
