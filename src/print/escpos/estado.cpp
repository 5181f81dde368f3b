#include "print/escpos/estado.h"

namespace kestrel {

namespace {

// Every status byte has bit 1 and bit 4 set and bits 0 and 7 clear; anything else is not an answer.
constexpr int fijos = 0x12;
constexpr int mascaraFijos = 0x93;
// DLE EOT 1: bit 3, offline.
constexpr int bitFueraDeLinea = 0x08;
// DLE EOT 2: bit 2, cover open; bit 5, printing stopped by paper end.
constexpr int bitTapaAbierta = 0x04;
constexpr int bitParadaSinPapel = 0x20;
// DLE EOT 4: bits 2 and 3, roll paper near end; bits 5 and 6, roll paper end.
constexpr int bitsPapelPorAcabarse = 0x0C;
constexpr int bitsSinPapel = 0x60;

bool esRespuesta(int byte) {
    return byte >= 0 && (byte & mascaraFijos) == fijos;
}

} // namespace

QByteArray pedidoEstado(int n) {
    QByteArray pedido("\x10\x04", 2);
    pedido.append(static_cast<char>(n));
    return pedido;
}

EstadoEscpos leerEstadoEscpos(int respuesta1, int respuesta2, int respuesta4) {
    EstadoEscpos estado;
    if (esRespuesta(respuesta1))
        estado.fueraDeLinea = (respuesta1 & bitFueraDeLinea) != 0;
    if (esRespuesta(respuesta2)) {
        estado.tapaAbierta = (respuesta2 & bitTapaAbierta) != 0;
        estado.sinPapel = (respuesta2 & bitParadaSinPapel) != 0;
    }
    if (esRespuesta(respuesta4)) {
        estado.sinPapel = estado.sinPapel || (respuesta4 & bitsSinPapel) != 0;
        estado.papelPorAcabarse = (respuesta4 & bitsPapelPorAcabarse) != 0;
    }
    return estado;
}

QString motivoEstado(const EstadoEscpos& estado) {
    if (estado.sinPapel)
        return QStringLiteral("sin papel");
    if (estado.tapaAbierta)
        return QStringLiteral("tapa abierta");
    if (estado.fueraDeLinea)
        return QStringLiteral("fuera de línea");
    return {};
}

EstadoImpresora estadoImpresoraEscpos(const EstadoEscpos& estado) {
    if (!estado.listo())
        return estadoDeMotivo(motivoEstado(estado));
    return estado.papelPorAcabarse ? EstadoImpresora::PapelPorAcabarse : EstadoImpresora::Lista;
}

char respuestaEstado(const EstadoEscpos& estado, int n) {
    int byte = fijos;
    switch (n) {
    case 1:
        // A printer that cannot print goes offline whatever the cause.
        if (!estado.listo())
            byte |= bitFueraDeLinea;
        break;
    case 2:
        if (estado.tapaAbierta)
            byte |= bitTapaAbierta;
        if (estado.sinPapel)
            byte |= bitParadaSinPapel;
        break;
    case 4:
        if (estado.sinPapel)
            byte |= bitsSinPapel;
        if (estado.sinPapel || estado.papelPorAcabarse)
            byte |= bitsPapelPorAcabarse;
        break;
    default:
        return 0;
    }
    return static_cast<char>(byte);
}

} // namespace kestrel
