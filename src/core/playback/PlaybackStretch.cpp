#include "playback/PlaybackStretch.h"

#include <QtGlobal>

namespace parlino {

namespace {

bool splitsPair(const QString &text, qint64 pos) {
    return pos > 0 && pos < text.size() && text.at(pos).isLowSurrogate() &&
           text.at(pos - 1).isHighSurrogate();
}

} // namespace

TextRange PlaybackStretch::choose(const QString &text, qint64 selectionStart, qint64 selectionEnd,
                                  qint64 caret) {
    const qint64 length = text.size();
    qint64 from = qBound<qint64>(0, qMin(selectionStart, selectionEnd), length);
    qint64 to = qBound<qint64>(0, qMax(selectionStart, selectionEnd), length);
    if (from == to) {
        from = qBound<qint64>(0, caret, length);
        to = length;
        if (from == length)
            from = 0;
    }
    if (splitsPair(text, from))
        --from;
    if (splitsPair(text, to))
        ++to;
    return {from, to - from};
}

PlaybackStretch PlaybackStretch::cut(const QString &text, const EffectsArray &spans,
                                     TextRange range) {
    PlaybackStretch stretch;
    range.location = qBound<qint64>(0, range.location, text.size());
    range.length = qBound<qint64>(0, range.length, text.size() - range.location);
    stretch.offset = range.location;
    stretch.text = text.mid(range.location, range.length);
    for (SSMLCharactersModel span : spans) {
        const qint64 from = qMax(span.location, range.location);
        const qint64 to = qMin(span.end(), range.end());
        if (to <= from)
            continue;
        span.location = from - range.location;
        span.length = to - from;
        stretch.spans.append(span);
    }
    return stretch;
}

} // namespace parlino
