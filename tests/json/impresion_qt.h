#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest show texts as text when an expectation fails, rather than as a list of code units.
inline void PrintTo(const QString& texto, std::ostream* salida) {
    QString visible = texto;
    visible.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    *salida << '"' << visible.toStdString() << '"';
}
