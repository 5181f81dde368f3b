#include "app/registro.h"

namespace kestrel {

// Info and above: Debian's Qt turns debug output off by default, and these entries must reach the journal.
Q_LOGGING_CATEGORY(registroEnlace, "kestrel.enlace", QtInfoMsg)
Q_LOGGING_CATEGORY(registroImpresion, "kestrel.impresion", QtInfoMsg)
Q_LOGGING_CATEGORY(registroDespachador, "kestrel.despachador", QtInfoMsg)

void instalarFormatoRegistro() {
    qSetMessagePattern(QStringLiteral("%{time yyyy-MM-dd HH:mm:ss.zzz} %{if-category}%{category} %{endif}%{type}: "
                                      "%{message}"));
}

} // namespace kestrel
