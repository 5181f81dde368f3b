#include "print/escpos/codificador.h"

#include <QLoggingCategory>

#include <algorithm>

#include "print/escpos/pc858.h"
#include "print/escpos/raster.h"

namespace kestrel {

namespace {

Q_LOGGING_CATEGORY(registroCodificador, "kestrel.escpos", QtInfoMsg)

constexpr int puntosLetraA = 12;
constexpr int puntosLetraB = 9;

constexpr float tamanoLetraA = 9.0F;
constexpr float tamanoDobleAlto = 12.0F;
constexpr float tamanoDobleAncho = 15.0F;

// No receipt picture is a metre long; a layout that asks for one is broken and would only waste the roll.
constexpr int altoMaximoImagen = 8000;

const char inicio[] = "\x1B@"
                      "\x1Bt\x13";
const char fin[] = "\x1B\x64\x04"
                   "\x1DVB\x00";

/// Padding inside a line: a run of two blanks after its first non-blank, which is how the layouts make columns.
bool tieneColumnas(const QString& texto) {
    const auto primera = std::find_if(texto.begin(), texto.end(), [](QChar c) { return c != u' '; });
    return texto.indexOf(QLatin1String("  "), primera - texto.begin()) >= 0;
}

/// letraEscpos for a line whose text is largo bytes in the code page: the encoder has them at hand already.
LetraEscpos letraParaLargo(const LineaVista& linea, qsizetype largo, int puntosAncho) {
    LetraEscpos letra;
    letra.negrita = linea.negrita;
    if (linea.tamano < tamanoLetraA) {
        letra.fuenteB = true;
        return letra;
    }
    letra.dobleAlto = linea.tamano >= tamanoDobleAlto;
    const int columnasA = columnasEscpos({}, puntosAncho);
    if (linea.tamano >= tamanoDobleAncho && 2 * largo <= columnasA && !tieneColumnas(linea.texto)) {
        letra.dobleAncho = true;
        return letra;
    }
    letra.fuenteB = largo > columnasA && largo <= columnasEscpos({.fuenteB = true}, puntosAncho);
    return letra;
}

void cambiarLetra(QByteArray& salida, LetraEscpos& actual, const LetraEscpos& letra) {
    if (letra.dobleAlto != actual.dobleAlto || letra.dobleAncho != actual.dobleAncho) {
        salida.append("\x1D!", 2);
        salida.append(static_cast<char>((letra.dobleAncho ? 0x10 : 0) | (letra.dobleAlto ? 0x01 : 0)));
    }
    if (letra.fuenteB != actual.fuenteB)
        salida.append("\x1BM", 2).append(letra.fuenteB ? '\1' : '\0');
    if (letra.negrita != actual.negrita)
        salida.append("\x1B\x45", 2).append(letra.negrita ? '\1' : '\0');
    actual = letra;
}

/// The picture of a picture line in print-head dots, or an empty raster (and a log line) when it cannot go out.
RasterEscpos rasterDeLinea(const LineaVista& linea, const QImage* imagen, int puntosAncho) {
    if (imagen == nullptr || imagen->isNull()) {
        qCWarning(registroCodificador).noquote()
            << QStringLiteral("imagen sin leer en %1,%2 twips: se omite").arg(linea.x).arg(linea.y);
        return {};
    }
    qint64 ancho = puntosDeTwips(linea.ancho);
    qint64 alto = puntosDeTwips(linea.alto);
    if (ancho > puntosAncho) {
        alto = alto * puntosAncho / ancho;
        ancho = puntosAncho;
    }
    if (alto > altoMaximoImagen || ancho <= 0 || alto <= 0) {
        qCWarning(registroCodificador).noquote()
            << QStringLiteral("imagen de %1x%2 twips sin tamaño imprimible: se omite").arg(linea.ancho).arg(linea.alto);
        return {};
    }
    RasterEscpos raster =
        rasterizar(*imagen, puntosDeTwips(linea.x), static_cast<int>(ancho), static_cast<int>(alto), puntosAncho);
    if (raster.vacio())
        qCWarning(registroCodificador).noquote()
            << QStringLiteral("imagen en x = %1 twips fuera del papel: se omite").arg(linea.x);
    return raster;
}

} // namespace

int columnasEscpos(const LetraEscpos& letra, int puntosAncho) {
    return puntosAncho / ((letra.fuenteB ? puntosLetraB : puntosLetraA) * (letra.dobleAncho ? 2 : 1));
}

LetraEscpos letraEscpos(const LineaVista& linea, int puntosAncho) {
    return letraParaLargo(linea, aPc858(linea.texto).size(), puntosAncho);
}

QByteArray aPc858(const QString& texto) {
    // The service may send a letter and its accent as two characters; the code page only has them joined.
    const QList<uint> caracteres = texto.normalized(QString::NormalizationForm_C).toUcs4();
    QByteArray salida;
    salida.reserve(caracteres.size());
    for (const uint c : caracteres) {
        const int byte = bytePc858(c);
        salida.append(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return salida;
}

QByteArray codificarDocumento(const QList<LineaVista>& lineas, const QList<QImage>& imagenes, int puntosAncho) {
    QByteArray salida(inicio, sizeof inicio - 1);
    // What ESC @ leaves: font A, no magnification, no bold.
    LetraEscpos actual;
    qsizetype imagen = 0;
    for (const LineaVista& linea : lineas) {
        if (linea.esImagen) {
            const QImage* dibujo = imagen < imagenes.size() ? &imagenes.at(imagen) : nullptr;
            ++imagen;
            salida.append(comandosRaster(rasterDeLinea(linea, dibujo, puntosAncho)));
            continue;
        }
        const QByteArray texto = aPc858(linea.texto);
        cambiarLetra(salida, actual, letraParaLargo(linea, texto.size(), puntosAncho));
        salida.append(texto).append('\n');
    }
    if (imagen < imagenes.size())
        qCWarning(registroCodificador).noquote()
            << QStringLiteral("%1 imágenes de más para el documento: se omiten").arg(imagenes.size() - imagen);
    return salida.append(fin, sizeof fin - 1);
}

} // namespace kestrel
