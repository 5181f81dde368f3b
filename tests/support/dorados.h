#pragma once

#include <QString>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tablas.h"

namespace kestrel::prueba {

/// The whole text of a fixture file (UTF-8); empty when it cannot be read.
QString leerTexto(const QString& ruta);

/// The message a case file stands for. An invoice case names only the "config" items it changes:
/// "config": {"cambia": [items], "quita": ["Nombre", ...]} over the shared base/config.json of its folder.
/// A changed item takes the place of the first base item of its "Nombre" (or goes last when there is none),
/// "quita" drops the first item of each name; a case without "config" gets the base as it is, and a "config"
/// that is not an object is sent as written.
QString mensajeDeCaso(const QString& rutaJson);

/// Compares what a case produced with its golden file; every golden suite goes through here. With
/// KESTREL_REESCRIBIR_DORADOS=1 the golden is rewritten instead and the test skipped, so that a change is
/// reviewed as a diff.
void compararConDorado(const QString& rutaDorado, const QString& obtenido);

/// The cases of a data folder: "<folder>/<case>" for every <case>.<extension> in it.
std::vector<std::string> casosDe(const QString& relativa, const QString& extension = QStringLiteral("json"));

/// A case as a test name ("facturas/logo-ancho" -> "facturas_logo_ancho").
std::string nombreDeCaso(const testing::TestParamInfo<std::string>& info);

} // namespace kestrel::prueba
