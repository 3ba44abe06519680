#pragma once

#include "editing/SSMLCharactersModel.h"
#include "playback/SpeechTiming.h"

#include <QString>

namespace parlino {

// What Play speaks: a stretch of the editor's text with the spans cut to it.
// Offsets of text and spans count from the stretch's start (offset in the editor).
struct PlaybackStretch {
    QString text;
    EffectsArray spans;
    qint64 offset = 0;

    // The stretch Play takes: the selection when there is one, otherwise from
    // the caret to the end, or the whole text when the caret is at the end.
    // An edge inside a surrogate pair moves outwards.
    static TextRange choose(const QString &text, qint64 selectionStart, qint64 selectionEnd,
                            qint64 caret);

    // The range's text with every span that overlaps it cut at its edges, as
    // assembly cuts crossing ranges; spans outside, and a Break whose glyph
    // lies outside, are left out.
    static PlaybackStretch cut(const QString &text, const EffectsArray &spans, TextRange range);
};

} // namespace parlino
