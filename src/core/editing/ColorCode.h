#pragma once

#include <QColor>
#include <QString>

namespace parlino {

// Turns a colour code such as "E9E393" into a colour. The code is read as a
// hexadecimal 32-bit number (leading white space and an optional "0x" are
// skipped, overflow saturates); bits 16-23 are red, 8-15 green, 0-7 blue.
// It never fails: a code that does not start with a hex number gives black.
QColor colorWithHexCode(const QString &code);

} // namespace parlino
