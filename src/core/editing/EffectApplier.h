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
    // the spans it overlaps, adds the new span (also when length is 0), drops spans
    // that lie inside another with a different range, then sorts by end (stable).
    // Spans are never merged.
    // The span takes the kind's name and highlight colour.
    static void apply(EffectsArray &spans, qint64 selectionStart, qint64 selectionLength,
                      EffectKind::Id kind, const QString &value);

    // Whether the Break button inserts a pause glyph at this caret: false when the
    // caret lies strictly inside the span found by determineLocation.
    static bool pauseGoesIn(const EffectsArray &spans, qint64 caret);

    // The new Break span at caret: length 1, "Break", value "1", no colour.
    static SSMLCharactersModel makePause(qint64 caret);

    // Every Break span at caret - 1 gets the value (a number becomes its decimal
    // text, a string stays as it is). Returns how many spans changed.
    static int setPauseValue(EffectsArray &spans, qint64 caret, const QVariant &value);

    // Removes the span at determineLocation(caret) and returns it; nothing when
    // there is no such span.
    static std::optional<SSMLCharactersModel> deleteAt(EffectsArray &spans, qint64 caret);
};

} // namespace parlino
