#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "print/impresora.h"
#include "print/trabajo.h"

namespace kestrel {

class ContextoImpresion;
class GrabadorTrabajos;
class SeguimientoTrabajos;

/// The current printer as the documents see it while a journal is kept: every call goes to the real current
/// printer and, inside a document, is also recorded.
class ImpresoraGrabada : public Impresora {
public:
    explicit ImpresoraGrabada(GrabadorTrabajos& grabador) : m_grabador(grabador) {}

    QString nombreDispositivo() const override { return real().nombreDispositivo(); }
    float tamanoFuente() const override { return real().tamanoFuente(); }
    void fijarTamanoFuente(float puntos) override;
    QString nombreFuente() const override { return real().nombreFuente(); }
    void fijarNombreFuente(const QString& nombre) override;
    bool negrita() const override { return real().negrita(); }
    void fijarNegrita(bool activa) override;
    void fijarEnfasis(bool activo) override;
    void imprimir(const Linea& elementos, bool saltoLinea = true) override;
    double anchoTexto(const QString& texto) override { return real().anchoTexto(texto); }
    double altoTexto(const QString& texto) override { return real().altoTexto(texto); }
    void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto) override;
    /// Inside a document, a printer whose system does not answer, or that has documents held before this one,
    /// is not probed (again): the document is recorded and held for it instead of failing.
    void sondear() override;
    void cerrarSondeo() override { real().cerrarSondeo(); }
    void finDocumento() override;
    void descartarDocumento() override;

private:
    Impresora& real() const;
    /// The document being recorded, with the font state it starts from; null outside a document.
    DocumentoTrabajo* grabando();

    GrabadorTrabajos& m_grabador;
};

/// The document being printed while a journal is kept. Outside the recorder's class: an optional of a nested
/// class with member initialisers cannot be built in place with every compiler.
struct TrabajoEnCurso {
    TipoTrabajo tipo = TipoTrabajo::Comanda;
    QString pedida;
    qint64 original = 0;
    QString motivo;
    bool respaldo = false;
    bool empezado = false;
    /// Why the printer cannot take it now though nothing definite was said: it is held, not sent.
    QString retenido;
    DocumentoTrabajo documento;
};

/// Puts every document into a journal: wraps the real printers, records what each document prints and
/// writes one entry per document, "enviando" before it goes to the printer and its outcome after. The
/// documents say where a document starts (empezar) and how the printer choice went (respaldo, fallar).
class GrabadorTrabajos : public SistemaImpresion {
public:
    GrabadorTrabajos(std::unique_ptr<SistemaImpresion> interno, std::shared_ptr<DiarioTrabajos> diario);
    ~GrabadorTrabajos() override;

    /// A new document of that type for the printer pedida; one still open is recorded as failed first.
    void empezar(TipoTrabajo tipo, const QString& pedida, qint64 original = 0);
    /// The asked printer failed its probe and the document goes to the default printer.
    void respaldo(const QString& motivo);
    /// The open document prints nowhere.
    void fallar(const QString& motivo);

    /// Prints entry original's document again on the printer named impresora and records it as a reprint.
    /// False, with the reason in error, when the printer is not installed or fails.
    bool reimprimir(const DocumentoTrabajo& documento, const QString& impresora, qint64 original, QString* error);

    /// From now on a document the spooler took as a job stays "enviando" until seguimiento knows its end.
    void fijarSeguimiento(std::unique_ptr<SeguimientoTrabajos> seguimiento);
    /// True while a document is being printed: nothing else may use the printers meanwhile.
    bool documentoAbierto() const { return m_enCurso.has_value(); }
    /// Prints documento again on the printer named impresora, with primeraLinea (when not empty) before it,
    /// outside the journal; the spooler's job number (0 when there is none). Raises when the printer fails. The current
    /// printer stays the one it was.
    qint64 reenviar(const DocumentoTrabajo& documento, const QString& impresora, const QString& primeraLinea);

    DiarioTrabajos& diario() { return *m_diario; }
    SistemaImpresion& interno() { return *m_interno; }

    /// interno's lists; while its printer system does not answer, the last ones it gave, so a document can still
    /// be recorded and held for its printer.
    QStringList impresoras() override;
    QString predeterminada() override;
    void seleccionar(int indice) override { m_interno->seleccionar(indice); }
    Impresora& actual() override { return m_impresora; }
    void escribirCrudo(const QString& impresora, const QByteArray& datos) override;
    QSize tamanoImagen(const QString& ruta) override { return m_interno->tamanoImagen(ruta); }

private:
    friend class ImpresoraGrabada;
    using EnCurso = TrabajoEnCurso;
    /// Writes the open document as "enviando", runs enviar and writes the outcome; enviar's failure is
    /// recorded and passed on. A document whose printer does not answer is held instead (descartar drops what
    /// the printer has of it) and nothing is raised.
    template <typename Enviar, typename Descartar>
    void enviar(const QString& usada, Enviar&& enviarlo, Descartar&& descartar);
    /// Whether the open document may wait for its printer rather than fail.
    bool retenible() const;
    /// Writes the open document as an entry in that state and closes it; the entry's number.
    qint64 terminar(EstadoTrabajo estado, const QString& usada, const QString& motivo);

    std::unique_ptr<SistemaImpresion> m_interno;
    std::shared_ptr<DiarioTrabajos> m_diario;
    ImpresoraGrabada m_impresora{*this};
    std::optional<EnCurso> m_enCurso;
    std::unique_ptr<SeguimientoTrabajos> m_seguimiento;
    QStringList m_lista;
    QString m_predeterminada;
};

// The documents' side: each does nothing when the context keeps no journal.
void empezarTrabajo(ContextoImpresion& ctx, TipoTrabajo tipo, const QString& pedida);
void respaldoTrabajo(ContextoImpresion& ctx, const QString& motivo);
void fallarTrabajo(ContextoImpresion& ctx, const QString& motivo);

} // namespace kestrel
