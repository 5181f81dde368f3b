#pragma once

#include <QChar>

namespace kestrel {

/// The character a receipt printer prints for byte in code page PC858 (CP850 with the euro sign where CP850
/// has the dotless i); a null QChar for a control byte (below 0x20, and 0x7F).
QChar caracterPc858(unsigned char byte);

/// The PC858 byte of a character, or -1 when the code page lacks it. Control characters count as lacking:
/// a text must never carry a command to the printer.
int bytePc858(char32_t caracter);

} // namespace kestrel
