#include "editing/EditTracker.h"

#include "Logging.h"

#include <algorithm>

namespace {

qint64 spaceCount(const QString &text) {
    // A plain loop over the UTF-16 units: the compiler vectorises it, and it is
    // run on every keystroke over the whole text.
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    qint64 spaces = 0;
    for (qsizetype i = 0; i < size; ++i)
        spaces += units[i] == u' ';
    return spaces;
}

QString statisticsText(qint64 length, qint64 spaces) {
    if (length == 0)
        return {};
    return QStringLiteral("(%1words %2characters)").arg(spaces + 1).arg(length - spaces);
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

EditTrackingResult EditTracker::track(EffectsArray &spans, const TextEdit &edit, qint64 caret,
                                      const QString &newText) {
    // Every span follows the edit by the same rule, so the caret is not needed
    // to find which spans to adjust.
    Q_UNUSED(caret);

    EditTrackingResult result;
    const qint64 spaces = spaceCount(newText);
    result.statistics = statisticsText(newText.size(), spaces);
    result.limitExceeded = newText.size() - spaces > characterLimit;

    const qint64 textLength = newText.size();
    for (SSMLCharactersModel &span : spans) {
        adjustSpan(span, edit);
        clampSpan(span, textLength);
    }
    spans.removeIf([](const SSMLCharactersModel &span) { return span.length < 1; });

    if (lcEditing().isDebugEnabled()) {
        for (const SSMLCharactersModel &span : std::as_const(spans))
            qCDebug(lcEditing, "hhhhh %lld - %lld", static_cast<long long>(span.location),
                    static_cast<long long>(span.length));
    }
    return result;
}
