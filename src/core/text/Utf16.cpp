#include "text/Utf16.h"

namespace parlino {

bool isSurrogatePairAt(QStringView text, qint64 index) {
    return index >= 0 && index + 1 < text.size() && text.at(index).isHighSurrogate() &&
           text.at(index + 1).isLowSurrogate();
}

bool splitsSurrogatePair(QStringView text, qint64 offset) {
    return isSurrogatePairAt(text, offset - 1);
}

qint64 characterStart(QStringView text, qint64 offset) {
    return splitsSurrogatePair(text, offset) ? offset - 1 : offset;
}

qint64 characterEnd(QStringView text, qint64 offset) {
    return splitsSurrogatePair(text, offset) ? offset + 1 : offset;
}

} // namespace parlino
