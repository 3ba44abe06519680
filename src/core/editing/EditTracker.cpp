#include "editing/EditTracker.h"

#include "Logging.h"

#include <algorithm>
#include <cstdio>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace parlino {

namespace {

// Counts U+0020 in the text. Runs on every keystroke over the whole text, so
// it compares UTF-16 units eight at a time where SSE2 is there.
qint64 spaceCount(const QString &text) {
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    qsizetype i = 0;
    qint64 spaces = 0;
#ifdef __SSE2__
    // Four independent 16-bit lane counters, 32 units per round; each lane holds
    // at most 0x7fff rounds before the counters are summed.
    const __m128i space = _mm_set1_epi16(' ');
    const __m128i ones = _mm_set1_epi16(1);
    const auto load = [units](qsizetype at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + at));
    };
    while (size - i >= 32) {
        const qsizetype rounds = std::min<qsizetype>((size - i) / 32, 0x7fff);
        __m128i c0 = _mm_setzero_si128(), c1 = c0, c2 = c0, c3 = c0;
        for (qsizetype r = 0; r < rounds; ++r, i += 32) {
            c0 = _mm_sub_epi16(c0, _mm_cmpeq_epi16(load(i), space));
            c1 = _mm_sub_epi16(c1, _mm_cmpeq_epi16(load(i + 8), space));
            c2 = _mm_sub_epi16(c2, _mm_cmpeq_epi16(load(i + 16), space));
            c3 = _mm_sub_epi16(c3, _mm_cmpeq_epi16(load(i + 24), space));
        }
        const __m128i sum =
            _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(c0, ones), _mm_madd_epi16(c1, ones)),
                          _mm_add_epi32(_mm_madd_epi16(c2, ones), _mm_madd_epi16(c3, ones)));
        alignas(16) qint32 sums[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(sums), sum);
        spaces += qint64(sums[0]) + sums[1] + sums[2] + sums[3];
    }
#endif
    for (; i < size; ++i)
        spaces += units[i] == u' ';
    return spaces;
}

QString statisticsText(qint64 length, qint64 spaces) {
    if (length == 0)
        return {};
    // Formatted into a stack buffer: one allocation per keystroke instead of five.
    char buffer[64];
    const int size =
        std::snprintf(buffer, sizeof buffer, "(%lldwords %lldcharacters)",
                      static_cast<long long>(spaces + 1), static_cast<long long>(length - spaces));
    return QString::fromLatin1(buffer, size);
}

// Moves, grows or cuts one span [s, e) for the edit that replaced the old
// stretch [L, E) by `inserted` new units. Offsets are UTF-16 code units.
// - Pure insertion: at or before the span's first character it moves the span;
//   strictly inside, the new text joins the span; at or after its end, nothing.
// - Deletion or replacement: the span loses the characters the stretch covers.
//   The new text joins the span only when it replaces a stretch inside the span
//   that starts after the span's start (possibly up to its end), or a leading
//   part of the span that ends before its end; otherwise it stays outside.
void adjustSpan(SSMLCharactersModel &span, const TextEdit &edit) {
    const qint64 s = span.location;
    const qint64 e = span.end();
    const qint64 L = edit.location;
    const qint64 E = edit.removedEnd();
    const qint64 R = edit.inserted;

    if (edit.removed == 0) {
        if (L <= s)
            span.location = s + R;
        else if (L < e)
            span.length += R;
        return;
    }

    const qint64 head = std::max<qint64>(0, std::min(e, L) - s); // kept before the stretch
    const qint64 tail = std::max<qint64>(0, e - std::max(s, E)); // kept after the stretch
    const bool joins = R > 0 && ((s < L && E <= e) || (s == L && E < e));

    if (s < L || joins)
        span.location = std::min(s, L);
    else if (s >= E)
        span.location = s - edit.removed + R;
    else
        span.location = L + R; // the span's head was inside the stretch
    span.length = head + tail + (joins ? R : 0);
}

// Keeps the span inside a text of the given length, whatever the edit said.
void clampSpan(SSMLCharactersModel &span, qint64 textLength) {
    const qint64 start = std::clamp<qint64>(span.location, 0, textLength);
    const qint64 end = std::clamp<qint64>(span.end(), start, textLength);
    span.location = start;
    span.length = end - start;
}

} // namespace

qint64 EditTracker::characterCount(const QString &text) {
    return text.size() - spaceCount(text);
}

QString EditTracker::statistics(const QString &text) {
    return statisticsText(text.size(), spaceCount(text));
}

EditTrackingResult EditTracker::track(EffectsArray &spans, const TextEdit &edit,
                                      const QString &newText) {
    EditTrackingResult result;
    const qint64 spaces = spaceCount(newText);
    result.statistics = statisticsText(newText.size(), spaces);
    result.limitExceeded = newText.size() - spaces > characterLimit;

    // One pass over the list on every keystroke: spans wholly before the edit
    // stay, spans wholly after it shift, the few it touches take the full rule.
    const qint64 textLength = newText.size();
    const qint64 shift = edit.inserted - edit.removed;
    bool needsCleanUp = false;
    for (SSMLCharactersModel &span : spans) {
        if (span.end() <= edit.location) {
            // before the edit: unchanged
        } else if (span.location >= edit.removedEnd()) {
            span.location += shift;
        } else {
            adjustSpan(span, edit);
        }
        needsCleanUp |= span.length < 1 || span.location < 0 || span.end() > textLength;
    }
    if (needsCleanUp) {
        for (SSMLCharactersModel &span : spans)
            clampSpan(span, textLength);
        spans.removeIf([](const SSMLCharactersModel &span) { return span.length < 1; });
    }

    if (lcEditing().isDebugEnabled()) {
        for (const SSMLCharactersModel &span : std::as_const(spans))
            qCDebug(lcEditing, "hhhhh %lld - %lld", static_cast<long long>(span.location),
                    static_cast<long long>(span.length));
    }
    return result;
}

} // namespace parlino
