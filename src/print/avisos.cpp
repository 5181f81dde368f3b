#include "print/avisos.h"

namespace kestrel {

QString nombreIconoGlobo(int icono) {
    switch (icono) {
    case iconoglobo::ninguno:
        return QStringLiteral("ninguno");
    case iconoglobo::informacion:
        return QStringLiteral("informacion");
    case iconoglobo::advertencia:
        return QStringLiteral("advertencia");
    case iconoglobo::error:
        return QStringLiteral("error");
    default:
        return QString::number(icono);
    }
}

} // namespace kestrel
