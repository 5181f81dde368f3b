#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "json/decimal.h"
#include "print/escpos/destino.h"

namespace kestrel {

class Avisos;
class DiarioSqlite;
class Documentos;
class GrabadorTrabajos;
class RegistroImpresoras;
class SistemaImpresion;

/// The printing options of the command line, passed through untouched to the printing.
struct OpcionesImpresion {
    /// --impresoras-virtuales A,B,C: PDF printers instead of the installed ones (the first is the default).
    QStringList impresorasVirtuales;
    /// --salida DIR: where the virtual printers leave their documents.
    QString salida;
    /// --escpos NOMBRE=DESTINO, repeatable: receipt printers spoken to in ESC/POS, joining the printers above
    /// (one of the same name is replaced).
    QList<DestinoEscpos> escpos;
    /// --propina-cupon VALOR: tip per coupon of a coupon platform.
    Decimal propinaCupon;
    /// The application folder (logo.bmp is printed at the top of invoices, trabajos.sqlite keeps the journal).
    QString carpetaAplicacion;
    /// --dias-trabajos N: how long the journal keeps an entry.
    int diasTrabajos = 30;
    /// --limite-impresion SEGUNDOS: how long a printer gets to finish a document.
    int limiteImpresion = 120;
};

/// The journal as the window's "Trabajos" tab reaches it: the entries, and the printing that reprints them.
struct TrabajosAgente {
    std::shared_ptr<DiarioSqlite> diario;
    /// Owned by the documents.
    GrabadorTrabajos* grabador = nullptr;
    /// The printers in use and how they stand, fed by the printer system and the journal.
    std::shared_ptr<RegistroImpresoras> impresoras;
    /// The printer system itself (under the journal), asked how its printers stand; owned by the documents.
    SistemaImpresion* sistema = nullptr;
};

/// The printers the options ask for: the installed ones (CUPS), or the PDF virtual printers, with the ESC/POS
/// printers among them.
std::unique_ptr<SistemaImpresion> crearSistemaAgente(const OpcionesImpresion& opciones, Avisos& avisos);

/// Builds the printing of the agent: the printer system, the shared print context (with the window's
/// balloon and log) and the documents. Everything about printing is put together here and nowhere else.
/// The invoice's yield (ContextoImpresion::cederEventos) is QCoreApplication::processEvents(): the link keeps
/// whatever arrives meanwhile and processes it after the current message.
/// trabajos, when given, receives the journal and its printing.
std::unique_ptr<Documentos> crearImpresionAgente(const OpcionesImpresion& opciones, Avisos& avisos,
                                                 TrabajosAgente* trabajos = nullptr);

} // namespace kestrel
