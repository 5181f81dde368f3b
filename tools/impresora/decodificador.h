#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>
#include <QStringList>

#include "print/escpos/codificador.h"

namespace kestrel {

/// One line of what an ESC/POS byte stream puts on paper, as a person reads it.
///
/// Written out (comoAnotado), one line each:
///   [A] text          a text line in font A (12x24 dots), [B] in font B (9x17); after the font come the
///                     magnification as width x height when it is not 1x1 ("[A 1x2]" double height, "[A 2x2]"
///                     double width and height) and N when bold ("[B N]", "[A 2x2 N]"); trailing blanks dropped
///   [imagen WxH]      a raster picture of W x H dots (bands sent one after the other make one picture);
///                     "[imagen WxH incompleta]" when the data ended inside it
///   [corte]           a paper cut (GS V, ESC i, ESC m)
///   [cajon]           a drawer pulse (ESC p m t1 t2, DLE DC4 1 m t)
///   [avance N]        N lines fed (ESC d N)
///   [estado N]        a real-time status request (DLE EOT N)
///   [barras]          a barcode (GS k)
/// Commands that do not change what is read (alignment, line spacing, underline, QR set-up, ...) are skipped by
/// their length. Anything else shows inside the text where it came as [?XX ...], its bytes in hex: a control
/// byte, an unknown command, a code page other than PC858, a command cut short by the end of the data.
struct RenglonEscpos {
    enum class Tipo {
        texto,
        imagen,
        marca,
    };
    Tipo tipo = Tipo::texto;
    /// A text line's characters (with any [?XX] inside), or the marker of a marca.
    QString texto;
    bool fuenteB = false;
    /// Character magnification, 1 to 8.
    int ancho = 1;
    int alto = 1;
    bool negrita = false;
    /// Size of a picture in dots.
    QSize puntos;
    bool incompleta = false;

    /// A text line printed in a letter of the encoder.
    static RenglonEscpos deTexto(const QString& texto, const LetraEscpos& letra);
    QString comoAnotado() const;
};

/// The printed lines of an ESC/POS byte stream. With puntosAncho above 0 a text line longer than the paper
/// wraps where the printer would wrap it. Any bytes at all are read to the end.
QList<RenglonEscpos> decodificarEscpos(QByteArrayView datos, int puntosAncho = 0);

/// The lines of decodificarEscpos written out with their markers.
QStringList textoAnotadoEscpos(QByteArrayView datos, int puntosAncho = 0);

/// Only the text lines, without their font markers: what the text view of the same document holds.
QStringList textoPlanoEscpos(QByteArrayView datos, int puntosAncho = 0);

/// Length of the command (or character) starting at datos[desde], its parameters and data included; 0 when
/// the data ends before the command does. Anything unknown counts as its first two bytes.
qsizetype largoComandoEscpos(QByteArrayView datos, qsizetype desde);

} // namespace kestrel
