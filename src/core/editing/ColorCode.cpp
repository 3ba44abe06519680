#include "editing/ColorCode.h"

namespace parlino {

namespace {

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

quint32 scanHex(const QString &code) {
    qsizetype i = 0;
    const qsizetype n = code.size();
    while (i < n && code.at(i).isSpace())
        ++i;
    if (i + 2 < n && code.at(i) == u'0' && (code.at(i + 1) == u'x' || code.at(i + 1) == u'X') &&
        hexDigitValue(code.at(i + 2)) >= 0) {
        i += 2;
    }
    quint64 value = 0;
    bool saturated = false;
    for (; i < n; ++i) {
        const int digit = hexDigitValue(code.at(i));
        if (digit < 0)
            break;
        if (!saturated) {
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFull)
                saturated = true;
        }
    }
    return saturated ? 0xFFFFFFFFu : quint32(value);
}

} // namespace

QColor colorWithHexCode(const QString &code) {
    const quint32 value = scanHex(code);
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

} // namespace parlino
