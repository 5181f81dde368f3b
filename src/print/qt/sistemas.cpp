#include "print/qt/sistemas.h"

#include "print/qt/imagen.h"
#include "print/qt/sistema_virtual.h"

namespace kestrel {

std::unique_ptr<SistemaImpresion> crearSistemaVirtual(const QStringList& nombres, const QString& carpetaSalida) {
    return std::make_unique<SistemaVirtual>(nombres, carpetaSalida, FormatoRollo{});
}

QSize tamanoImagenNatural(const QString& ruta) {
    return tamanoNaturalImagen(ruta);
}

} // namespace kestrel
