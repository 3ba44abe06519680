#include "synthesis/XmlText.h"

#include "text/Utf16.h"

namespace parlino {

namespace {

// The entity for a character that markup would otherwise take for its own,
// or null when the character stands for itself.
const char *entity(char16_t c, char16_t quote) {
    switch (c) {
    case u'&':
        return "&amp;";
    case u'<':
        return "&lt;";
    case u'>':
        return "&gt;";
    case u'\r':
        return "&#13;";
    default:
        break;
    }
    if (quote == 0)
        return nullptr;
    if (c == quote)
        return c == u'"' ? "&quot;" : "&apos;";
    if (c == u'\n')
        return "&#10;";
    if (c == u'\t')
        return "&#9;";
    return nullptr;
}

// quote 0: character content.
void appendEscaped(QString &out, QStringView text, char16_t quote, bool keepCr = false) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (isSurrogatePairAt(text, i)) {
            out += text.mid(i, 2);
            ++i;
            continue;
        }
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' && keepCr)
            out += QChar(c);
        else if (const char *replacement = entity(c, quote))
            out += QLatin1String(replacement);
        else if (isXmlChar(c))
            out += QChar(c);
    }
}

} // namespace

bool isXmlChar(char32_t c) {
    if (c == 0x9 || c == 0xA || c == 0xD)
        return true;
    return c >= 0x20 && (c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF;
}

void appendXmlText(QString &out, QStringView text, CarriageReturn cr) {
    appendEscaped(out, text, 0, cr == CarriageReturn::Keep);
}

QString escapeXmlAttribute(QStringView text, char16_t quote) {
    QString out;
    out.reserve(text.size());
    appendEscaped(out, text, quote);
    return out;
}

} // namespace parlino
