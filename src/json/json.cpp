#include "json/json.h"

namespace kestrel {

namespace {
thread_local QString erroresJson;
} // namespace

Valor jsonParse(const QString&) {
    erroresJson = QStringLiteral("Invalid JSON");
    return {};
}

QString jsonErrors() {
    return erroresJson;
}

} // namespace kestrel
