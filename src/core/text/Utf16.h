#pragma once

#include <QStringView>

namespace parlino {

// Offsets in UTF-16 code units and the characters beyond U+FFFF, which take
// two units (a surrogate pair) that markup or an edit must never cut apart.

// True when a whole surrogate pair starts at index.
bool isSurrogatePairAt(QStringView text, qint64 index);

// True when offset lies between the two halves of a surrogate pair.
bool splitsSurrogatePair(QStringView text, qint64 offset);

// offset, moved back to the start of the character it falls inside.
qint64 characterStart(QStringView text, qint64 offset);

// offset, moved on to the end of the character it falls inside.
qint64 characterEnd(QStringView text, qint64 offset);

} // namespace parlino
