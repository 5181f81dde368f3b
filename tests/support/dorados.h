#pragma once

#include <QString>

#include <string>

#include <gtest/gtest.h>

namespace kestrel::prueba {

/// The whole text of a fixture file (UTF-8); empty when it cannot be read.
QString leerTexto(const QString& ruta);

/// Compares what a case produced with its golden file. With the environment variable variableReescritura set
/// the golden is rewritten instead and the test is skipped, so a change of layout is reviewed as a diff.
void compararConDorado(const QString& rutaDorado, const QString& obtenido, const char* variableReescritura);

/// A case file name as a test name ("comanda-80" -> "comanda_80").
std::string nombreDeCaso(const testing::TestParamInfo<std::string>& info);

} // namespace kestrel::prueba
