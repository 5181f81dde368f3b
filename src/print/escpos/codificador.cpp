#include "print/escpos/codificador.h"

namespace kestrel {

LetraEscpos letraEscpos(const LineaVista& linea, int) {
    LetraEscpos letra;
    letra.negrita = linea.negrita;
    return letra;
}

QByteArray aPc858(const QString& texto) {
    return texto.toLatin1();
}

QByteArray codificarDocumento(const QList<LineaVista>&, const QList<QImage>&, int) {
    return {};
}

} // namespace kestrel
