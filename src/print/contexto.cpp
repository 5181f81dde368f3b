#include "print/contexto.h"

namespace kestrel {

ContextoImpresion::ContextoImpresion(SistemaImpresion& sistema, Avisos& avisosVentana, QString carpeta)
    : impresoras(sistema), avisos(avisosVentana), carpetaAplicacion(std::move(carpeta)) {}

} // namespace kestrel
