#include "app/funciones.h"

#include <QFileInfo>

namespace kestrel {

bool existeArchivo(const QString& ruta) {
    QString limpia = ruta;
    if (limpia.size() >= 4 && (limpia.endsWith(QLatin1Char('/')) || limpia.endsWith(QLatin1Char('\\'))))
        limpia.chop(1);
    return !limpia.isEmpty() && QFileInfo::exists(limpia);
}

} // namespace kestrel
