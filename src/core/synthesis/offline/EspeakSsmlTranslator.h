#pragma once

#include <QString>

namespace parlino {

// What eSpeak NG is given for one request: an SSML document in the subset
// eSpeak reads correctly, to be synthesised with espeakSSML.
struct EspeakDocument {
    QString ssml;
    QString error;  // set when the input could not be read; ssml is empty then
    int bleeps = 0; // expletives replaced by a silent stretch between bleep marks
    // eSpeak drops pauses before the first word; they are silence to put
    // before its audio instead.
    int leadingSilenceMs = 0;

    bool isValid() const { return error.isEmpty(); }
};

// Rewrites the SSML Parlino produces (the cloud service's dialect) into the
// SSML eSpeak NG honours. eSpeak ignores or misreads much of it without an
// error: single-quoted string attributes keep their quote, fractional-second
// and adjacent breaks collapse, say-as date, time, ordinal, fraction, verbatim
// and expletive are ignored, entities in an alias are spoken literally, a full
// stop after a closing tag is read as "dot", the pause glyph is read aloud.
// The result is written with double quotes and eSpeak's own notations:
// - breaks in milliseconds, adjacent breaks (and pause glyphs) merged into one,
//   each clamped to maxBreakMs; a leftover pause glyph is a one-second break;
// - verbatim and spell-out become characters; date, time, ordinal and
//   fraction are written out for the language (see SayAsReading);
// - an expletive is spoken silently between the marks bleepOnMark and
//   bleepOffMark, so that the engine can put a tone at exactly its place;
// - a sub element becomes its alias as text; prosody volume in dB becomes a
//   percentage; unknown elements leave their text;
// - a newline follows sentence punctuation that a tag would follow.
class EspeakSsmlTranslator {
public:
    static constexpr int maxBreakMs = 60000;
    static constexpr int glyphBreakMs = 1000;
    static const char *bleepOnMark();
    static const char *bleepOffMark();

    // input: SSML when isSsml, otherwise plain text. languageCode ("en-US")
    // chooses how dates, times, ordinals and fractions are read.
    static EspeakDocument translate(const QString &input, bool isSsml, const QString &languageCode);
};

} // namespace parlino
