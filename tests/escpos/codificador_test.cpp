// The encoder read back by the emulator's decoder: code page, size table, bytes of small documents and pictures
// (tests/data/tablas/codificador_escpos.json), and every golden receipt and invoice.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "decodificador.h"
#include "dorados.h"
#include "print/escpos/codificador.h"
#include "print/escpos/raster.h"
#include "tablas.h"

namespace kestrel::prueba {
namespace {

QString hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

int puntosRollo(const QJsonValue& milimetros) {
    return milimetros.toInt() == 58 ? puntosRollo58 : puntosRollo80;
}

QImage imagenDe(const QJsonArray& filas) {
    QImage imagen(static_cast<int>(filas[0].toString().size()), static_cast<int>(filas.size()), QImage::Format_ARGB32);
    for (int y = 0; y < imagen.height(); ++y) {
        for (int x = 0; x < imagen.width(); ++x) {
            const char c = filas[y].toString().at(x).toLatin1();
            imagen.setPixel(x, y,
                            c == '#'   ? qRgb(0, 0, 0)
                            : c == 'g' ? qRgb(100, 100, 100)
                            : c == ' ' ? 0
                                       : qRgb(255, 255, 255));
        }
    }
    return imagen;
}

/// A table's lines: [size, bold, text], or a picture {"imagen": rows, "x", "ancho", "alto"} whose picture goes
/// to imagenes (none when "imagen" is missing).
QList<LineaVista> lineasDe(const QJsonArray& tabla, QList<QImage>& imagenes) {
    QList<LineaVista> lineas;
    for (const QJsonValue& v : tabla) {
        LineaVista l;
        const QJsonObject o = v.toObject();
        l.esImagen = v.isObject();
        l.x = o["x"].toInt();
        l.ancho = o["ancho"].toInt();
        l.alto = o["alto"].toInt();
        if (o.contains("imagen"))
            imagenes << imagenDe(o["imagen"].toArray());
        l.tamano = static_cast<float>(v[0].toDouble());
        l.negrita = v[1].toBool();
        l.texto = v[2].toString();
        lineas << l;
    }
    return lineas;
}

QByteArray codificar(const QJsonArray& a) {
    QList<QImage> imagenes;
    const QList<LineaVista> lineas = lineasDe(a[0].toArray(), imagenes);
    return codificarDocumento(lineas, imagenes, puntosRollo(a[1]));
}

TEST(Codificador, Tablas) {
    comprobarTablas(
        QStringLiteral("codificador_escpos"),
        {{QStringLiteral("aPc858"), [](const QJsonArray& a) { return hex(aPc858(a[0].toString())); }},
         {QStringLiteral("letraEscpos"),
          [](const QJsonArray& a) {
              const LineaVista l{a[2].toString(), static_cast<float>(a[0].toDouble()), a[1].toBool()};
              return RenglonEscpos::deTexto({}, letraEscpos(l, puntosRollo(a[3]))).comoAnotado();
          }},
         {QStringLiteral("codificarDocumento"), [](const QJsonArray& a) { return hex(codificar(a)); }},
         {QStringLiteral("leerDocumento"),
          [](const QJsonArray& a) { return textoAnotadoEscpos(codificar(a), puntosRollo(a[1])).join(u'\n'); }},
         {QStringLiteral("comandosRaster"),
          [](const QJsonArray& a) {
              const int ancho = a[0].toInt();
              const QByteArray bandas = comandosRaster({ancho, a[1].toInt(), QByteArray(ancho * a[1].toInt(), '\0')});
              QStringList filas;
              for (qsizetype i = 0; i + 8 <= bandas.size();) {
                  const int n = static_cast<uchar>(bandas[i + 6]) + 256 * static_cast<uchar>(bandas[i + 7]);
                  filas << QString::number(n);
                  i += 8 + qsizetype{ancho} * n;
              }
              return filas.join(u' ');
          }},
         {QStringLiteral("decodificar"), [](const QJsonArray& a) {
              const int ancho = a[1].toInt() == 0 ? 0 : puntosRollo(a[1]);
              return textoAnotadoEscpos(QByteArray::fromHex(a[0].toString().toLatin1()), ancho).join(u'\n');
          }}});
}

/// The documents of a golden transcript: "=== <printer> ===" opens one, "[10] text", "[15B] text" and
/// "[imagen WxH en x,y]" are its lines, and a "~ " line is no document's.
QList<QList<LineaVista>> documentosDe(const QString& dorado) {
    static const QRegularExpression texto(QStringLiteral(R"(^\[([\d.]+)(B?)\] ?(.*)$)"));
    static const QRegularExpression imagen(QStringLiteral(R"(^\[imagen (\d+)x(\d+) en (-?\d+),(-?\d+)\]$)"));
    QList<QList<LineaVista>> documentos;
    bool abierto = false;
    for (const QString& linea : dorado.split(u'\n')) {
        if (linea.startsWith(QLatin1String("=== ")))
            documentos.append(QList<LineaVista>());
        abierto = linea.startsWith(QLatin1String("=== ")) || (abierto && linea.startsWith(u'['));
        LineaVista l;
        if (const auto m = imagen.match(linea); abierto && m.hasMatch())
            l = {{},
                 10,
                 false,
                 true,
                 m.captured(3).toInt(),
                 m.captured(4).toInt(),
                 m.captured(1).toInt(),
                 m.captured(2).toInt()};
        else if (const auto t = texto.match(linea); abierto && t.hasMatch())
            l = {t.captured(3), t.captured(1).toFloat(), !t.captured(2).isEmpty()};
        else
            continue;
        documentos.last() << l;
    }
    return documentos;
}

// Each document of every golden receipt and invoice, encoded for its roll and read back at that width, gives
// the text view's lines, each in the letter the size table gives it and none wrapped, its pictures, the feed
// and the cut, and nothing else (no drawer pulse).
TEST(Codificador, CadaDoradoSeLeeComoSuVistaDeTexto) {
    int documentos = 0;
    for (const char* carpeta : {"receipts", "receipts/secuencias", "facturas", "facturas/secuencias"}) {
        for (const std::string& caso : casosDe(QString::fromLatin1(carpeta), QStringLiteral("txt"))) {
            SCOPED_TRACE(caso);
            const QString nombre = QString::fromStdString(caso);
            const int ancho = nombre.contains(QLatin1String("58")) ? puntosRollo58 : puntosRollo80;
            for (const QList<LineaVista>& lineas : documentosDe(leerTexto(carpetaDatos(nombre + ".txt")))) {
                QList<QImage> imagenes;
                QStringList esperado;
                for (const LineaVista& l : lineas) {
                    if (l.esImagen) {
                        imagenes << QImage(l.ancho / 15, l.alto / 15, QImage::Format_ARGB32);
                        imagenes.last().fill(qRgba(0, 0, 0, 128));
                    }
                    esperado << (l.esImagen ? QStringLiteral("imagen")
                                            : RenglonEscpos::deTexto(l.texto, letraEscpos(l, ancho)).comoAnotado());
                }
                esperado << QStringLiteral("[avance 4]") << QStringLiteral("[corte]");
                const QByteArray bytes = codificarDocumento(lineas, imagenes, ancho);
                QStringList leido;
                for (const RenglonEscpos& r : decodificarEscpos(bytes, ancho))
                    leido << (r.tipo == RenglonEscpos::Tipo::imagen ? QStringLiteral("imagen") : r.comoAnotado());
                EXPECT_EQ(leido.join(u'\n').toStdString(), esperado.join(u'\n').toStdString());
                EXPECT_EQ(textoPlanoEscpos(bytes, ancho).join(u'\n').toStdString(),
                          (DocumentoVista{{}, lineas}.texto(false)).join(u'\n').toStdString());
                ++documentos;
            }
        }
    }
    EXPECT_GE(documentos, 40) << "los dorados no se encontraron";
}

// Any bytes at all are read to the end; the command walk the emulator looks for cuts with never stands still.
TEST(Decodificador, BytesCualesquiera) {
    QRandomGenerator azar(858);
    const char comunes[] = {0x1B, 0x1D, 0x1C, 0x10, 0x0A, 0x09, 'v', '0', 'V', '!', 'k', '(', '&', 'D', 0};
    for (int vuelta = 0; vuelta < 2000; ++vuelta) {
        QByteArray datos(azar.bounded(64), '\0');
        for (char& b : datos)
            b = azar.bounded(2) ? comunes[azar.bounded(static_cast<int>(sizeof comunes))]
                                : static_cast<char>(azar.bounded(256));
        ASSERT_LE(decodificarEscpos(datos, puntosRollo58).size(), 8 * datos.size() + 1) << hex(datos).toStdString();
        for (qsizetype i = 0, largo = 1; i < datos.size() && largo > 0; i += largo) {
            largo = largoComandoEscpos(datos, i);
            ASSERT_LE(largo, datos.size() - i) << hex(datos).toStdString();
        }
    }
}

} // namespace
} // namespace kestrel::prueba
