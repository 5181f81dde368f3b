#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "json/decimal.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/vista_texto.h"

namespace kestrel {

class Despachador;
class DocumentosImpresion;

/// The printers a preview prints on and what surrounds them; the command line's --previsualizar options.
struct OpcionesVistaPrevia {
    QStringList impresoras{QStringLiteral("Facturas"), QStringLiteral("Cocina"), QStringLiteral("Bar")};
    /// Empty: the first of impresoras.
    QString predeterminada;
    QStringList averiadas;
    /// Where logo.bmp is looked for.
    QString carpeta;
    Decimal propinaCupon;
    /// Empty: the real clock.
    std::function<QDateTime()> reloj;
};

/// Where a transcript line belongs: a printed document, something else the user would have seen (a balloon,
/// a log entry of a document, a drawer pulse, a failure, the yield, a document left open), or the dispatcher's
/// own log (the message echoed back, parse errors).
enum class CanalTranscripcion {
    documento,
    suceso,
    despachador,
};

/// One message handed over as the link does, printed on text-view printers, written out as a transcript in
/// the order things happened: "=== <printer> ===" and the document's lines when it ends, and lines starting
/// with "~ " for everything else. The preview mode and the golden receipts both go through here.
class VistaPrevia : public Avisos {
public:
    using Escritor = std::function<void(CanalTranscripcion canal, const QString& linea)>;

    /// anotado: document lines carry their font size and bold marks ("[10B] ...").
    VistaPrevia(const OpcionesVistaPrevia& opciones, Escritor escritor, bool anotado = true);
    ~VistaPrevia() override;

    /// Processes one complete message (without its end marker) as the dispatcher does, then notes every
    /// printer still holding lines of an unfinished document.
    void procesarMensaje(const QString& mensaje);

    SistemaVistaTexto& sistema() { return m_sistema; }
    ContextoImpresion& contexto() { return m_ctx; }

    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override;
    void registrar(const QString& entrada) override;

private:
    class Documentos;

    QStringList m_impresoras;
    Escritor m_escritor;
    SistemaVistaTexto m_sistema;
    ContextoImpresion m_ctx;
    std::unique_ptr<Documentos> m_documentos;
    std::unique_ptr<Despachador> m_despachador;
};

} // namespace kestrel
