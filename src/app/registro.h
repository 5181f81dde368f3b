#pragma once

#include <QLoggingCategory>

namespace kestrel {

/// Where each entry of the window's log comes from. Every entry also goes to standard error under one of
/// these, so the session's journal keeps what the window showed; QT_LOGGING_RULES silences one of them,
/// for example "kestrel.enlace.info=false".
Q_DECLARE_LOGGING_CATEGORY(registroEnlace)
Q_DECLARE_LOGGING_CATEGORY(registroImpresion)
Q_DECLARE_LOGGING_CATEGORY(registroDespachador)

/// Stamps every line written to standard error with the date, the time and the category. Called once at the
/// agent's start, before the application object exists, so Qt's own start-up warnings carry it too;
/// QT_MESSAGE_PATTERN still wins when a technician sets it.
void instalarFormatoRegistro();

} // namespace kestrel
