#include "print/escpos/pc858.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace kestrel {

namespace {

// Bytes 0x80 to 0xFF; below them the code page is ASCII.
constexpr std::array<char16_t, 128> altos = {
    u'Ç',      u'ü', u'é', u'â', u'ä', u'à', u'å', u'ç', u'ê', u'ë', u'è', u'ï', u'î', u'ì', u'Ä', u'Å',
    u'É',      u'æ', u'Æ', u'ô', u'ö', u'ò', u'û', u'ù', u'ÿ', u'Ö', u'Ü', u'ø', u'£', u'Ø', u'×', u'ƒ',
    u'á',      u'í', u'ó', u'ú', u'ñ', u'Ñ', u'ª', u'º', u'¿', u'®', u'¬', u'½', u'¼', u'¡', u'«', u'»',
    u'░',      u'▒', u'▓', u'│', u'┤', u'Á', u'Â', u'À', u'©', u'╣', u'║', u'╗', u'╝', u'¢', u'¥', u'┐',
    u'└',      u'┴', u'┬', u'├', u'─', u'┼', u'ã', u'Ã', u'╚', u'╔', u'╩', u'╦', u'╠', u'═', u'╬', u'¤',
    u'ð',      u'Ð', u'Ê', u'Ë', u'È', u'€', u'Í', u'Î', u'Ï', u'┘', u'┌', u'█', u'▄', u'¦', u'Ì', u'▀',
    u'Ó',      u'ß', u'Ô', u'Ò', u'õ', u'Õ', u'µ', u'þ', u'Þ', u'Ú', u'Û', u'Ù', u'ý', u'Ý', u'¯', u'´',
    u'\u00AD', u'±', u'‗', u'¾', u'¶', u'§', u'÷', u'¸', u'°', u'¨', u'·', u'¹', u'³', u'²', u'■', u'\u00A0',
};

bool esControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

QChar caracterPc858(unsigned char byte) {
    if (byte >= 0x80)
        return QChar(altos[byte - 0x80]);
    return esControl(byte) ? QChar() : QChar(byte);
}

int bytePc858(char32_t caracter) {
    if (caracter < 0x80)
        return esControl(caracter) ? -1 : static_cast<int>(caracter);
    const auto encontrado =
        std::find_if(altos.begin(), altos.end(), [caracter](char16_t c) { return char32_t{c} == caracter; });
    return encontrado == altos.end() ? -1 : 0x80 + static_cast<int>(std::distance(altos.begin(), encontrado));
}

} // namespace kestrel
