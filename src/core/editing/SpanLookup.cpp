#include "editing/SpanLookup.h"

#include <algorithm>

namespace parlino {

void sortByEnd(EffectsArray &spans) {
    std::stable_sort(spans.begin(), spans.end(),
                     [](const SSMLCharactersModel &a, const SSMLCharactersModel &b) {
                         return a.end() < b.end();
                     });
}

qsizetype determineLocation(const EffectsArray &spans, qint64 caret) {
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const SSMLCharactersModel &span = spans.at(i);
        if (caret <= span.location || caret <= span.end())
            return i;
    }
    return -1;
}

bool allSpansInside(const EffectsArray &spans, qint64 textLength) {
    return std::all_of(spans.cbegin(), spans.cend(), [textLength](const SSMLCharactersModel &s) {
        return s.location >= 0 && s.length >= 0 && s.end() <= textLength;
    });
}

} // namespace parlino
