// Feeds arbitrary bytes to jsonParse (as UTF-8, the way the link decodes a message) and checks what must hold
// for any input: the parse ends, the error text stays bounded, the result can be walked and dumped, and the
// quick path of the number reader agrees with the general one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "json/fallo.h"
#include "json/json.h"
#include "json/volcado.h"

namespace {

void comprobar(bool condicion) {
    if (!condicion)
        std::abort();
}

/// jsonReadNumber takes a quick path for plain numbers; it must give what the general rewrite and
/// conversion give, failures included.
void compararNumero(const QString& texto) {
    QString numero;
    for (const QChar c : texto) {
        if (QStringView(u"+-0123456789.eE").contains(c))
            numero.append(c);
    }
    if (numero.isEmpty())
        return;
    qsizetype posicion = 1;
    int falloRapido = 0;
    int falloGeneral = 0;
    kestrel::Decimal rapido;
    kestrel::Decimal general;
    try {
        rapido = kestrel::jsonReadNumber(numero, posicion);
    } catch (const kestrel::FalloPlataforma& f) {
        falloRapido = f.numero();
    }
    try {
        general = kestrel::convertirDecimalServicio(kestrel::formatearDecimal(kestrel::Valor(numero), 2));
    } catch (const kestrel::FalloPlataforma& f) {
        falloGeneral = f.numero();
    }
    comprobar(falloRapido == falloGeneral);
    comprobar(falloRapido != 0 || rapido == general);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano) {
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tamano));
    const kestrel::Valor resultado = kestrel::jsonParse(texto);
    const QString errores = kestrel::jsonErrors();
    comprobar(errores.size() <= kestrel::jsonErroresMaximos + 2 * texto.size() + 200);
    if (errores.isEmpty())
        comprobar(resultado.esContenedor());
    (void)kestrel::informeAnalisis(resultado, errores);
    compararNumero(texto.left(64));
    return 0;
}
