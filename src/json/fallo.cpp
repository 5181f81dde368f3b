#include "json/fallo.h"

namespace kestrel {

FalloPlataforma::FalloPlataforma(int numero, QString descripcion)
    : std::runtime_error(descripcion.toStdString()), m_numero(numero), m_descripcion(std::move(descripcion)) {}

void fallaImpresora(const QString& descripcion) {
    throw FalloPlataforma(numerofallo::errorImpresora, descripcion);
}

FalloPlataforma FalloPlataforma::estandar(int numero) {
    return FalloPlataforma(numero, descripcionEstandar(numero));
}

QString FalloPlataforma::descripcionEstandar(int numero) {
    switch (numero) {
    case numerofallo::llamadaNoValida:
        return QStringLiteral("Llamada a procedimiento o argumento no válido");
    case numerofallo::desbordamiento:
        return QStringLiteral("Desbordamiento");
    case numerofallo::fueraDeIntervalo:
        return QStringLiteral("Subíndice fuera del intervalo");
    case numerofallo::divisionPorCero:
        return QStringLiteral("División por cero");
    case numerofallo::dispositivoNoDisponible:
        return QStringLiteral("Dispositivo no disponible");
    case numerofallo::tiposNoCoinciden:
        return QStringLiteral("No coinciden los tipos");
    case numerofallo::usoNoValidoDeNull:
        return QStringLiteral("Uso no válido de Null");
    case numerofallo::seRequiereObjeto:
        return QStringLiteral("Se requiere un objeto");
    case numerofallo::claveDuplicada:
        return QStringLiteral("Esta clave ya está asociada a un elemento de esta colección");
    case numerofallo::imagenNoValida:
        return QStringLiteral("Imagen no válida");
    case numerofallo::errorImpresora:
        return QStringLiteral("Error de impresora");
    default:
        return QStringLiteral("Error de la aplicación");
    }
}

} // namespace kestrel
