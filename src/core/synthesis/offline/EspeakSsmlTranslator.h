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
    // Characters left out because the voice cannot read them (kanji).
    int skipped = 0;
    // There was text, but none of it can be read by the voice.
    bool unreadable = false;

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
//   at eSpeak's fast rates they are written longer, so they are heard at
//   their length (see pauseStretch);
// - characters the voice cannot read (kanji for Japanese) are left out;
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
    static constexpr int normalWordsPerMinute = 175;
    // From this rate on eSpeak shortens pauses along with the speech.
    static constexpr int fastModeWordsPerMinute = 450;
    static const char *bleepOnMark();
    static const char *bleepOffMark();

    // input: SSML when isSsml, otherwise plain text. languageCode ("en-US")
    // chooses how dates, times, ordinals and fractions are read, and which
    // characters are left out; wordsPerMinute is the rate eSpeak will speak at.
    static EspeakDocument translate(const QString &input, bool isSsml, const QString &languageCode,
                                    int wordsPerMinute = normalWordsPerMinute);

    // How much longer a pause must be written for eSpeak to give its full
    // length at the rate: 1 below fastModeWordsPerMinute.
    static double pauseStretch(int wordsPerMinute);
};

} // namespace parlino
