#pragma once

#include <QString>

#include <memory>

#include "print/impresora.h"
#include "print/qt/documento.h"
#include "print/qt/fuentes.h"

namespace kestrel {

/// Where the documents of one printer go: a CUPS queue or a PDF folder.
class SalidaImpresora {
public:
    virtual ~SalidaImpresora() = default;
    /// The device name; raises when the printer is not usable.
    virtual QString nombre() = 0;
    /// Raises a printer failure when the printer cannot take a job now. Puts nothing on paper.
    virtual void comprobar() = 0;
    /// Sends one ended document as one job; raises when it cannot.
    virtual void entregar(const DocumentoGrabado& documento) = 0;
};

/// A printer drawn with QPainter: documents are laid out in twips as they are printed and go out whole at
/// their end, through the printer's SalidaImpresora. The font and its size stay from one document to the
/// next, as a printer's do.
class ImpresoraQt : public Impresora {
public:
    ImpresoraQt(std::unique_ptr<SalidaImpresora> salida, CatalogoFuentes& fuentes, QLocale locale = QLocale());

    QString nombreDispositivo() const override;
    float tamanoFuente() const override { return m_estilo.puntos; }
    void fijarTamanoFuente(float puntos) override;
    QString nombreFuente() const override { return m_estilo.nombre; }
    void fijarNombreFuente(const QString& nombre) override;
    bool negrita() const override { return m_estilo.negrita; }
    void fijarNegrita(bool activa) override;
    void fijarEnfasis(bool activo) override;
    void imprimir(const Linea& elementos, bool saltoLinea = true) override;
    double anchoTexto(const QString& texto) override;
    double altoTexto(const QString& texto) override;
    void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) override;
    void sondear() override;
    void cerrarSondeo() override {}
    void finDocumento() override;
    void descartarDocumento() override;

private:
    void cambiarEstilo(const EstiloFuente& estilo);
    const FuenteResuelta& fuente() { return m_fuentes.resolver(m_estilo); }
    void documentoNuevo();

    std::unique_ptr<SalidaImpresora> m_salida;
    CatalogoFuentes& m_fuentes;
    QLocale m_locale;
    EstiloFuente m_estilo;
    DocumentoGrabado m_documento;
};

} // namespace kestrel
