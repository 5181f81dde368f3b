#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "print/impresora.h"

namespace kestrel {

/// One line of a text-view document: the text with its trailing blanks dropped and the font it ended in, or
/// a picture drawn at a position (pictures put no text line).
struct LineaVista {
    QString texto;
    float tamano = 10.0F;
    bool negrita = false;
    bool esImagen = false;
    /// Picture placement in twips, rounded: position and size.
    int x = 0;
    int y = 0;
    int ancho = 0;
    int alto = 0;

    /// The plain transcript line; empty for a picture.
    QString comoTexto() const { return texto; }
    /// "[<size><B if bold>] <text>", or "[imagen <w>x<h> en <x>,<y>]" for a picture.
    QString comoAnotada() const;
};

/// An ended document of a text-view printer.
struct DocumentoVista {
    QString impresora;
    QList<LineaVista> lineas;

    /// The transcript: without pictures in the plain form, with every line annotated otherwise.
    QStringList texto(bool anotado) const;
};

/// Bytes written untouched to a printer's queue (the cash-drawer pulse).
struct EscrituraCruda {
    QString impresora;
    QByteArray datos;
};

/// Natural size of a picture in hundredths of a millimetre; raises when the file is not a readable picture.
/// The print module links Qt Core only and cannot decode pictures, so whoever owns a GUI library supplies it.
using MedidorImagenes = std::function<QSize(const QString& ruta)>;

/// A printer that writes a deterministic transcript instead of paper: what the tests and the preview read.
///
/// A text item is appended; a number is written as the printer writes numbers; a column position n (below 1
/// means 1) pads the line with blanks to n - 1 characters, or ends the line and pads the next one when the
/// line is already longer; a line ends at its line break, without trailing blanks. Text is measured at a fixed
/// pitch of 0.6 em: characters x size x 12 twips wide, size x 24 twips high. It starts at size 10, not bold.
class ImpresoraVistaTexto : public Impresora {
public:
    using AlTerminar = std::function<void(const DocumentoVista&)>;

    explicit ImpresoraVistaTexto(QString nombre, QLocale locale = QLocale());

    /// A broken printer fails its probe, as a stopped queue does.
    void fijarAveriada(bool averiada) { m_averiada = averiada; }
    bool averiada() const { return m_averiada; }
    void fijarMedidorImagenes(MedidorImagenes medidor) { m_medidor = std::move(medidor); }
    /// Called with every document that ends, in the order they end.
    void fijarAlTerminar(AlTerminar alTerminar) { m_alTerminar = std::move(alTerminar); }

    /// Lines of the document still open (what an end of document would print now).
    QList<LineaVista> documentoAbierto() const;
    const QList<DocumentoVista>& documentos() const { return m_documentos; }
    void olvidarDocumentos() { m_documentos.clear(); }
    const QString& nombre() const { return m_nombre; }

    QString nombreDispositivo() const override { return m_nombre; }
    float tamanoFuente() const override { return m_tamano; }
    void fijarTamanoFuente(float puntos) override { m_tamano = puntos; }
    QString nombreFuente() const override { return m_fuente; }
    void fijarNombreFuente(const QString& nombre) override { m_fuente = nombre; }
    bool negrita() const override { return m_negrita; }
    void fijarNegrita(bool activa) override { m_negrita = activa; }
    void fijarEnfasis(bool activo) override { m_enfasis = activo; }
    void imprimir(const Linea& elementos, bool saltoLinea = true) override;
    double anchoTexto(const QString& texto) override;
    double altoTexto(const QString& texto) override;
    void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) override;
    void sondear() override;
    void cerrarSondeo() override {}
    void finDocumento() override;
    void descartarDocumento() override;

private:
    void terminarLinea();

    QString m_nombre;
    QLocale m_locale;
    bool m_averiada = false;
    MedidorImagenes m_medidor;
    AlTerminar m_alTerminar;

    float m_tamano = 10.0F;
    QString m_fuente;
    bool m_negrita = false;
    bool m_enfasis = false;

    QList<LineaVista> m_lineas;
    QString m_linea;
    bool m_lineaEmpezada = false;
    QList<DocumentoVista> m_documentos;
};

/// Named text-view printers with a default one: the printer system of the tests and of the preview.
class SistemaVistaTexto : public SistemaImpresion {
public:
    /// Printers in list order; predeterminada may name a printer that is not in the list (or be empty), and
    /// then there is no usable printer until one is selected.
    explicit SistemaVistaTexto(const QStringList& nombres = {}, const QString& predeterminada = {},
                               QLocale locale = QLocale());
    ~SistemaVistaTexto() override;

    void agregarImpresora(const QString& nombre);
    void fijarPredeterminada(const QString& nombre) { m_predeterminada = nombre; }
    /// Marks a printer (exact name) as broken; unknown names are ignored.
    void fijarAveriada(const QString& nombre, bool averiada = true);
    /// How pictures are measured; without one every picture is unreadable.
    void fijarMedidorImagenes(MedidorImagenes medidor);
    /// Called with every ended document of any of the printers, in the order they end.
    void fijarAlTerminar(ImpresoraVistaTexto::AlTerminar alTerminar);
    void fijarAlEscribirCrudo(std::function<void(const EscrituraCruda&)> alEscribir) {
        m_alEscribir = std::move(alEscribir);
    }

    /// The printer of that exact name, or null.
    ImpresoraVistaTexto* impresora(const QString& nombre);
    /// Every ended document of every printer, in the order they ended.
    const QList<DocumentoVista>& documentos() const { return m_documentos; }
    const QList<EscrituraCruda>& escriturasCrudas() const { return m_escrituras; }
    /// Drops the ended documents and raw writes kept so far (a long run keeps memory flat).
    void olvidarDocumentos();

    QStringList impresoras() override;
    QString predeterminada() override { return m_predeterminada; }
    void seleccionar(int indice) override;
    Impresora& actual() override;
    void escribirCrudo(const QString& impresora, const QByteArray& datos) override;
    QSize tamanoImagen(const QString& ruta) override;

private:
    void conectar(ImpresoraVistaTexto& impresora);

    QLocale m_locale;
    QString m_predeterminada;
    std::vector<std::unique_ptr<ImpresoraVistaTexto>> m_impresoras;
    std::unique_ptr<Impresora> m_ninguna;
    int m_actual = -1;
    MedidorImagenes m_medidor;
    ImpresoraVistaTexto::AlTerminar m_alTerminar;
    std::function<void(const EscrituraCruda&)> m_alEscribir;
    QList<DocumentoVista> m_documentos;
    QList<EscrituraCruda> m_escrituras;
};

} // namespace kestrel
