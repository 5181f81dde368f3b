#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "print/impresora.h"

namespace kestrel {

/// What a journal entry holds: the kind of document, as the command line and the window write it.
enum class TipoTrabajo {
    Comanda,
    Anulacion,
    Factura,
    Cajon,
    Reimpresion,
};

/// Where a document stands. Enviando is written before it goes to the printer; one left so by a crash reads
/// Desconocido at the next start.
enum class EstadoTrabajo {
    Enviando,
    Impreso,
    Reenviado,
    Fallido,
    Desconocido,
};

/// "comanda", "anulacion", "factura", "cajon", "reimpresion".
QString nombreTipoTrabajo(TipoTrabajo tipo);
/// "enviando", "impreso", "reenviado", "fallido", "desconocido".
QString nombreEstadoTrabajo(EstadoTrabajo estado);
std::optional<TipoTrabajo> tipoTrabajoDe(const QString& nombre);
std::optional<EstadoTrabajo> estadoTrabajoDe(const QString& nombre);

/// A document as the calls it made on its printer, so it can be printed again exactly: the font state it
/// started from, every line, every picture (kept apart by the hash of its bytes, so a logo is stored once)
/// and, for the drawer, the raw bytes.
class DocumentoTrabajo {
public:
    void fijarTamanoFuente(float puntos);
    void fijarNombreFuente(const QString& nombre);
    void fijarNegrita(bool activa);
    void fijarEnfasis(bool activo);
    void imprimir(const Linea& elementos, bool saltoLinea);
    /// Reads the picture's bytes now: the file may change or vanish before a reprint.
    void dibujarImagen(const QString& ruta, double x, double y, double ancho, double alto);
    void fijarCrudo(const QByteArray& datos) { m_crudo = datos; }

    bool vacio() const { return m_operaciones.isEmpty() && m_crudo.isEmpty(); }
    const QByteArray& crudo() const { return m_crudo; }
    /// Picture bytes by their hash (hexadecimal SHA-256).
    const QHash<QString, QByteArray>& imagenes() const { return m_imagenes; }
    void agregarImagen(const QString& huella, const QByteArray& datos) { m_imagenes.insert(huella, datos); }
    /// Hashes of the pictures the document draws.
    QStringList huellas() const;

    /// The calls and raw bytes as compact JSON; the pictures travel apart.
    QByteArray aJson() const;
    /// Reads what aJson wrote; nothing for text that is not such a document.
    static std::optional<DocumentoTrabajo> deJson(const QByteArray& json);

    /// Makes the same calls on impresora (without ending the document). Pictures are written to carpeta first,
    /// as the printers draw pictures from files. Raises FalloPlataforma when a picture is missing.
    void reproducir(Impresora& impresora, const QString& carpeta) const;
    /// The document's text view: its lines as the text-view printer writes them (pictures leave no line).
    QStringList vista() const;

private:
    /// One recorded call. Kept as plain values while the document prints (recording runs on every line of
    /// every document, on the thread that answers the service); JSON only when the entry is written.
    struct Operacion {
        enum class Tipo {
            Tamano,
            Fuente,
            Negrita,
            Enfasis,
            Renglon,
            Imagen,
        };
        Tipo tipo = Tipo::Renglon;
        /// The size, or the picture's placement.
        double numero[4] = {};
        bool activa = true;
        /// The font's name, or the picture's hash.
        QString texto;
        Linea linea;
    };
    static std::optional<Operacion> operacionDe(const QJsonArray& op);

    QList<Operacion> m_operaciones;
    QByteArray m_crudo;
    QHash<QString, QByteArray> m_imagenes;
};

/// One entry of the journal.
struct EntradaTrabajo {
    qint64 numero = 0;
    QDateTime hora;
    TipoTrabajo tipo = TipoTrabajo::Comanda;
    QString pedida;
    QString usada;
    EstadoTrabajo estado = EstadoTrabajo::Enviando;
    QString motivo;
    /// For a reprint, the number of the entry printed again; 0 otherwise.
    qint64 original = 0;
    /// The spooler's job number when there is one; 0 otherwise.
    qint64 idCups = 0;
    DocumentoTrabajo documento;
    QStringList vista;
};

/// Where the documents are accounted for. A journal that cannot write says so itself, once; to the printing
/// it only answers 0 for the number, and printing goes on.
class DiarioTrabajos {
public:
    virtual ~DiarioTrabajos() = default;
    /// Writes a new entry (its number and time are the journal's) and returns its number, or 0 when it
    /// could not be written.
    virtual qint64 anotar(const EntradaTrabajo& entrada) = 0;
    /// Changes the outcome of entry numero; numero 0 is ignored.
    /// idCups, when not 0, is the spooler's job now carrying the document (it replaces the one noted before).
    virtual void actualizar(qint64 numero, EstadoTrabajo estado, const QString& usada, const QString& motivo,
                            qint64 idCups = 0) = 0;
};

} // namespace kestrel
