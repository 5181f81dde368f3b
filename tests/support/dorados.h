#pragma once

#include <QDateTime>
#include <QString>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kestrel::prueba {

/// A folder under tests/data (KESTREL_DATOS_PRUEBA, or the source tree while tests are being discovered).
QString carpetaDatos(const QString& relativa);

/// The whole text of a fixture file (UTF-8); empty when it cannot be read.
QString leerTexto(const QString& ruta);

/// The message a case file stands for. An invoice case names only the "config" items it changes:
/// "config": {"cambia": [items], "quita": ["Nombre", ...]} over the shared base/config.json of its folder.
/// A changed item takes the place of the first base item of its "Nombre" (or goes last when there is none),
/// "quita" drops the first item of each name; a case without "config" gets the base as it is, and a "config"
/// that is not an object is sent as written.
QString mensajeDeCaso(const QString& rutaJson);

/// The transcript of a case through the preview's path: the documents and everything else the user would
/// have seen, in order, with the build's vendor lines as <KESTREL_PROVEEDOR_NIT> and <KESTREL_PROVEEDOR_WEB>
/// and the case's temporary application folder as <CARPETA>.
/// The case's optional "prueba" member sets up the printers with the preview's options: "impresoras",
/// "predeterminada", "averiadas" (comma lists), "logo" (a picture under <folder>/logos, as logo.bmp) and
/// "propinaCupon". With several cases they all go through the same printers in turn (set up as the first case
/// with a "prueba" member asks, each case with its own logo) and the transcript is the last one's.
QString transcribirCaso(const QStringList& rutas, const QDateTime& ahora);

/// Compares what a case produced with its golden file. With KESTREL_REESCRIBIR_DORADOS=1 the golden is
/// rewritten instead and the test skipped, so that a change of layout is reviewed as a diff.
void compararConDorado(const QString& rutaDorado, const QString& obtenido);

/// The cases of a data folder: "<folder>/<case>" for every <case>.json in it.
std::vector<std::string> casosDe(const QString& relativa);

/// A case as a test name ("facturas/logo-ancho" -> "facturas_logo_ancho").
std::string nombreDeCaso(const testing::TestParamInfo<std::string>& info);

} // namespace kestrel::prueba
