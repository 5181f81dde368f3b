#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "dorados.h"
#include "json/valor.h"
#include "print/avisos.h"
#include "print/contexto.h"
#include "print/vista_texto.h"

namespace kestrel::prueba {

/// Where the invoice fixtures live: tests/data/facturas.
QString carpetaFacturas();

/// A picture's natural size in hundredths of a millimetre from the resolution it states (96 dpi without one),
/// read the way the real printers read the logo.
QSize medirImagen(const QString& ruta);

/// Everything an invoice message produced, in the order it happened: the documents as they ended
/// ("=== <printer> ===" and the annotated lines), balloons ("~ globo"), log entries ("~ registro"), the yield to
/// the event loop ("~ cede eventos"), a failure that reached the caller ("~ fallo") and a document left open
/// ("~ abierto en").
class Transcripcion : public Avisos {
public:
    void mostrarGlobo(const QString& mensaje, int icono, const QString& titulo, int tiempoMs) override;
    void registrar(const QString& entrada) override;

    QStringList lineas;
};

/// Text-view printers (Facturas, Cocina, Bar; Facturas the default) and a print context over them, set up
/// from a message's optional "prueba" member: "impresoras", "predeterminada", "averiadas" (comma lists),
/// "logo" (a picture under tests/data/facturas/logos copied in as logo.bmp) and "propinaCupon".
class MesaFactura {
public:
    explicit MesaFactura(const Valor& prueba = Valor());

    QStringList impresoras;
    Transcripcion transcripcion;
    QTemporaryDir carpeta;
    std::unique_ptr<SistemaVistaTexto> sistema;
    std::unique_ptr<ContextoImpresion> ctx;

    /// The message's invoice through imprimirFactura, as the dispatcher hands it over; returns the transcript.
    QString imprimirMensaje(const QString& mensaje);
    /// Adds "~ abierto en" for every printer that still holds lines.
    void anotarAbiertos();
};

/// The transcript with the two build-time vendor lines replaced by <KESTREL_PROVEEDOR_NIT> and
/// <KESTREL_PROVEEDOR_WEB>.
QString conMarcasProveedor(QString transcripcion);

} // namespace kestrel::prueba
