#pragma once

#include "editing/EffectKind.h"
#include "editing/SSMLCharactersModel.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace parlino {

// Adds, changes and removes effect spans at the selection or the caret.
// All offsets are UTF-16 code units.
class EffectApplier {
public:
    // Applies an effect over the selection (start, length): cuts, trims or removes
    // the spans it overlaps, adds the new span, drops spans that lie inside
    // another with a different range, then sorts by end (stable). Spans are
    // never merged. The span takes the kind's name and highlight colour.
    // An empty selection adds nothing: strictly inside a span of this kind it
    // changes that span's value (the innermost one), keeping its range.
    static void apply(EffectsArray &spans, qint64 selectionStart, qint64 selectionLength,
                      EffectKind::Id kind, const QString &value);

    // The span of this kind that a popover opened on this selection edits: the
    // one with exactly the selected range, or, for a caret, the innermost one
    // around it (strictly inside); a Break's is pauseAt(). -1 when there is none.
    static qsizetype spanAt(const EffectsArray &spans, qint64 selectionStart,
                            qint64 selectionLength, EffectKind::Id kind);
    // The pause that the selection stands on: the selected pause glyph, or the
    // one right before the caret. -1 when there is none.
    static qsizetype pauseAt(const EffectsArray &spans, qint64 selectionStart,
                             qint64 selectionLength);

    // Whether the Break button inserts a pause glyph at this caret: false when the
    // caret lies strictly inside the span found by determineLocation.
    static bool pauseGoesIn(const EffectsArray &spans, qint64 caret);

    // The new Break span at caret: length 1, "Break", value "1", no colour.
    static SSMLCharactersModel makePause(qint64 caret);

    // The pause at the selection (pauseAt) and every other Break span on the
    // same glyph get the length in seconds. Returns how many spans changed.
    static int setPauseValue(EffectsArray &spans, qint64 selectionStart, qint64 selectionLength,
                             const QString &seconds);

    // Removes the span at determineLocation(caret) and returns it; nothing when
    // there is no such span.
    static std::optional<SSMLCharactersModel> deleteAt(EffectsArray &spans, qint64 caret);
};

} // namespace parlino
