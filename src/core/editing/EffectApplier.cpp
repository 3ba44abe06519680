#include "editing/EffectApplier.h"

#include "editing/SpanLookup.h"

namespace parlino {

namespace {

// Cuts one existing span X = [x, e) against the new effect's selection [s, t).
// Returns the tail piece when X is cut in two. Sets `covered` when X lies
// wholly inside the selection and has to go. Offsets are UTF-16 code units.
std::optional<SSMLCharactersModel> cutSpan(SSMLCharactersModel &x, qint64 s, qint64 t,
                                           bool &covered) {
    const qint64 e = x.end();
    covered = false;
    if (x.location == s) {
        if (t >= e) {
            covered = true;
        } else {
            x.location = t;
            x.length = e - t;
        }
    } else if (x.location < s) {
        if (t < e) {
            SSMLCharactersModel tail = x;
            tail.location = t;
            tail.length = e - t;
            x.length = s - x.location;
            return tail;
        }
        if (s < e)
            x.length = s - x.location;
    } else if (x.location < t && t < e) {
        x.location = t;
        x.length = e - t;
    } else if (t >= e) {
        covered = true;
    }
    return std::nullopt;
}

// True when b lies inside a and the two ranges differ.
bool strictlyInside(const SSMLCharactersModel &b, const SSMLCharactersModel &a) {
    if (a.location == b.location)
        return a.end() > b.end();
    return a.location < b.location && a.end() >= b.end();
}

// Drops every span that lies inside another span with a different range. Two
// spans with identical ranges both stay.
void dropContained(EffectsArray &spans) {
    QList<bool> drop(spans.size(), false);
    for (qsizetype b = 0; b < spans.size(); ++b) {
        for (qsizetype a = 0; a < spans.size() && !drop.at(b); ++a)
            drop[b] = a != b && strictlyInside(spans.at(b), spans.at(a));
    }
    EffectsArray kept;
    kept.reserve(spans.size());
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (!drop.at(i))
            kept.append(spans.at(i));
    }
    spans = kept;
}

} // namespace

void EffectApplier::apply(EffectsArray &spans, qint64 selectionStart, qint64 selectionLength,
                          EffectKind::Id kind, const QString &value) {
    if (selectionLength == 0) {
        // A caret cuts nothing: cutting a span there would change how it is
        // read ("42" as two numbers), and an empty span says nothing.
        const qsizetype i = spanAt(spans, selectionStart, 0, kind);
        if (i >= 0)
            spans[i].ssmlTag = value;
        return;
    }
    const EffectKind &effect = EffectKind::byId(kind);
    SSMLCharactersModel added;
    added.location = selectionStart;
    added.length = selectionLength;
    added.effects = effect.name;
    added.color = effect.color();
    added.ssmlTag = value;

    const qint64 s = selectionStart;
    const qint64 t = selectionStart + selectionLength;
    // A span cut in two keeps both pieces where it stood, so that after the
    // stable sort the pieces keep their order among spans with the same end.
    EffectsArray result;
    result.reserve(spans.size() + 2);
    for (SSMLCharactersModel x : std::as_const(spans)) {
        bool covered = false;
        const std::optional<SSMLCharactersModel> tail = cutSpan(x, s, t, covered);
        if (!covered)
            result.append(x);
        if (tail)
            result.append(*tail);
    }
    result.append(added);

    dropContained(result);
    sortByEnd(result);
    spans = result;
}

bool EffectApplier::pauseGoesIn(const EffectsArray &spans, qint64 caret) {
    const qsizetype i = determineLocation(spans, caret);
    if (i < 0)
        return true;
    const SSMLCharactersModel &x = spans.at(i);
    return !(x.location < caret && caret < x.end());
}

SSMLCharactersModel EffectApplier::makePause(qint64 caret) {
    SSMLCharactersModel pause;
    pause.location = caret;
    pause.length = 1;
    pause.effects = EffectKind::byId(EffectKind::Break).name;
    pause.ssmlTag = QStringLiteral("1");
    return pause;
}

qsizetype EffectApplier::spanAt(const EffectsArray &spans, qint64 selectionStart,
                                qint64 selectionLength, EffectKind::Id kind) {
    if (kind == EffectKind::Break)
        return pauseAt(spans, selectionStart, selectionLength);
    const QString &name = EffectKind::byId(kind).name;
    const qint64 selectionEnd = selectionStart + selectionLength;
    qsizetype found = -1;
    for (qsizetype i = 0; i < spans.size(); ++i) {
        const SSMLCharactersModel &span = spans.at(i);
        if (span.effects != name)
            continue;
        const bool fits = selectionLength > 0
                              ? span.location == selectionStart && span.end() == selectionEnd
                              : span.location < selectionStart && selectionStart < span.end();
        if (fits && (found < 0 || span.length < spans.at(found).length))
            found = i;
    }
    return found;
}

qsizetype EffectApplier::pauseAt(const EffectsArray &spans, qint64 selectionStart,
                                 qint64 selectionLength) {
    qint64 glyph = -1;
    if (selectionLength == 1)
        glyph = selectionStart;
    else if (selectionLength == 0)
        glyph = selectionStart - 1;
    const QString &breakName = EffectKind::byId(EffectKind::Break).name;
    for (qsizetype i = 0; glyph >= 0 && i < spans.size(); ++i) {
        if (spans.at(i).effects == breakName && spans.at(i).location == glyph)
            return i;
    }
    return -1;
}

int EffectApplier::setPauseValue(EffectsArray &spans, qint64 selectionStart, qint64 selectionLength,
                                 const QString &seconds) {
    const qsizetype at = pauseAt(spans, selectionStart, selectionLength);
    if (at < 0)
        return 0;
    const qint64 glyph = spans.at(at).location;
    const QString &breakName = EffectKind::byId(EffectKind::Break).name;
    int changed = 0;
    for (SSMLCharactersModel &span : spans) {
        if (span.effects == breakName && span.location == glyph) {
            span.ssmlTag = seconds;
            ++changed;
        }
    }
    return changed;
}

std::optional<SSMLCharactersModel> EffectApplier::deleteAt(EffectsArray &spans, qint64 caret) {
    const qsizetype i = determineLocation(spans, caret);
    if (i < 0)
        return std::nullopt;
    return spans.takeAt(i);
}

} // namespace parlino
