#include "print/qt/pintor.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

#include "json/fallo.h"

namespace kestrel {

QList<PaginaDocumento> paginar(const DocumentoGrabado& documento, double altoPagina) {
    QList<PaginaDocumento> paginas;
    const QList<Renglon>& renglones = documento.renglones();
    PaginaDocumento pagina;
    for (int i = 0; i < renglones.size(); ++i) {
        const Renglon& r = renglones[i];
        const bool llena = r.y + r.alto - pagina.arriba > altoPagina;
        // The still open line after the last line break holds nothing: it must not cost a blank page.
        const bool vacia = r.alto <= 0 && r.trazos.isEmpty();
        if (llena && !vacia && i > pagina.desde && altoPagina > 0) {
            pagina.hasta = i;
            paginas.append(pagina);
            pagina = PaginaDocumento{i, i, r.y};
        }
    }
    pagina.hasta = static_cast<int>(renglones.size());
    paginas.append(pagina);
    return paginas;
}

void pintarDocumento(QPainter& pintor, const DocumentoGrabado& documento, const LienzoPagina& lienzo) {
    const double escala = lienzo.puntosPorPulgada / twipsPorPulgada;
    const auto aDispositivo = [&](double x, double y) {
        return QPointF(lienzo.origen.x() + x * escala, lienzo.origen.y() + y * escala);
    };
    const QList<PaginaDocumento> paginas = paginar(documento, lienzo.altoPagina);
    const QList<Renglon>& renglones = documento.renglones();
    pintor.setPen(Qt::black);
    for (int p = 0; p < paginas.size(); ++p) {
        const PaginaDocumento& pagina = paginas[p];
        if (p > 0 && !(lienzo.nuevaPagina && lienzo.nuevaPagina()))
            throw FalloPlataforma(numerofallo::errorImpresora, QStringLiteral("No se pudo iniciar una pagina nueva"));
        for (const ImagenColocada& imagen : documento.imagenes()) {
            if (imagen.renglon < pagina.desde || imagen.renglon >= std::max(pagina.hasta, pagina.desde + 1))
                continue;
            const QRectF destino(aDispositivo(imagen.rect.x(), imagen.rect.y()), imagen.rect.size() * escala);
            pintor.drawImage(destino, imagen.imagen);
        }
        for (int i = pagina.desde; i < pagina.hasta; ++i) {
            const Renglon& r = renglones[i];
            for (const TrazoTexto& t : r.trazos) {
                // Fonts are sized in points, which the device turns into its own units.
                pintor.setFont(t.fuente);
                pintor.drawText(aDispositivo(t.posicion.x(), t.posicion.y() - pagina.arriba + t.ascenso), t.texto);
            }
        }
    }
}

double anchoPaginaMm(const DocumentoGrabado& documento, const FormatoRollo& formato) {
    const double necesario = documento.anchoOcupado() / twipsPorMilimetro + 2 * formato.margenMm;
    for (double rollo : formato.anchosMm) {
        if (necesario <= rollo)
            return rollo;
    }
    return necesario;
}

void escribirPdf(const DocumentoGrabado& documento, QIODevice& destino, const FormatoRollo& formato,
                 const QString& titulo) {
    const double margen = formato.margenMm * twipsPorMilimetro;
    double altoContenido = documento.altoTexto();
    for (const ImagenColocada& i : documento.imagenes())
        altoContenido = std::max(altoContenido, i.rect.bottom());
    const double largoMaximo = formato.largoMaximoMm * twipsPorMilimetro - 2 * margen;
    const double altoPagina = std::min(std::max(altoContenido, 1.0), largoMaximo);
    const double ancho = anchoPaginaMm(documento, formato) * twipsPorMilimetro;

    QPdfWriter escritor(&destino);
    escritor.setResolution(static_cast<int>(twipsPorPulgada));
    escritor.setCreator(QStringLiteral("Kestrel"));
    escritor.setTitle(titulo);
    const QSizeF tamano(ancho / twipsPorMilimetro, (altoPagina + 2 * margen) / twipsPorMilimetro);
    escritor.setPageLayout(QPageLayout(QPageSize(tamano, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                                       QPageLayout::Portrait, QMarginsF()));
    QPainter pintor;
    if (!pintor.begin(&escritor))
        throw FalloPlataforma(numerofallo::errorImpresora, QStringLiteral("No se pudo escribir el PDF"));
    LienzoPagina lienzo;
    lienzo.puntosPorPulgada = escritor.resolution();
    lienzo.origen = QPointF(margen, margen) * (lienzo.puntosPorPulgada / twipsPorPulgada);
    lienzo.altoPagina = altoPagina;
    lienzo.nuevaPagina = [&escritor] { return escritor.newPage(); };
    pintarDocumento(pintor, documento, lienzo);
    if (!pintor.end())
        throw FalloPlataforma(numerofallo::errorImpresora, QStringLiteral("No se pudo escribir el PDF"));
}

void pintarEnImpresora(QPrinter& printer, const DocumentoGrabado& documento, const QString& impresora) {
    QPainter pintor;
    if (!pintor.begin(&printer))
        fallaImpresora(QStringLiteral("No se pudo abrir un trabajo en ") + impresora);
    LienzoPagina lienzo;
    lienzo.puntosPorPulgada = printer.resolution();
    lienzo.altoPagina = printer.pageLayout().paintRect(QPageLayout::Inch).height() * twipsPorPulgada;
    lienzo.nuevaPagina = [&printer] { return printer.newPage(); };
    pintarDocumento(pintor, documento, lienzo);
    if (!pintor.end() || printer.printerState() == QPrinter::Error)
        fallaImpresora(QStringLiteral("No se pudo enviar el trabajo a ") + impresora);
}

} // namespace kestrel
