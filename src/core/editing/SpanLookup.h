#pragma once

#include "editing/SSMLCharactersModel.h"

namespace parlino {

// Sorts the spans by ascending end offset. Stable: spans with equal ends keep
// their relative order, which is what decides nesting for identical ranges.
void sortByEnd(EffectsArray &spans);

// The index of the first span, in list order, whose end is at or after the
// caret (UTF-16 offset), or -1 when there is none.
qsizetype determineLocation(const EffectsArray &spans, qint64 caret);

// True when every span lies inside a text of the given length.
bool allSpansInside(const EffectsArray &spans, qint64 textLength);

} // namespace parlino
