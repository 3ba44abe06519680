#pragma once

#include <QString>
#include <QStringView>

namespace parlino {

// Writing text into XML: which characters XML can carry, and escaping of
// character content and attribute values. Offsets are UTF-16 code units.

// Tab, newline, carriage return and the code points from U+0020 on, less the
// surrogate range and U+FFFE, U+FFFF: what an XML 1.0 document can hold.
bool isXmlChar(char32_t c);

// What becomes of a carriage return in character content: a conforming XML
// parser reads a raw one as a newline, so it is escaped; eSpeak NG reads its
// input without that normalisation and finds paragraph breaks in raw ones
// that it would not find in escaped ones, so for eSpeak it stays raw.
enum class CarriageReturn { Escape, Keep };

// Appends text as character content: & < > become entities, and a carriage
// return &#13; unless kept. Characters XML cannot carry, a lone half of a
// surrogate pair among them, are dropped.
void appendXmlText(QString &out, QStringView text, CarriageReturn cr = CarriageReturn::Escape);

// Text as an attribute value written between `quote` characters (' or "):
// escaped as for content, and also the quote, and a tab or newline as a
// character reference (a parser would read raw ones as spaces).
QString escapeXmlAttribute(QStringView text, char16_t quote = u'\'');

} // namespace parlino
