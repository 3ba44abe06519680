#pragma once

#include "editing/SSMLCharactersModel.h"

#include <QList>
#include <QString>

namespace parlino {

// One stretch of a document that goes out as a request of its own.
struct ConversionPart {
    int start = 0;      // UTF-16 offset of the part in the whole text
    int end = 0;        // one past the part's last code unit
    QString text;       // the whole text's [start, end)
    EffectsArray spans; // the spans clipped to the part, offsets relative to it
};

// Cuts a document into parts whose request input (what the request body
// carries as "input": the assembled SSML, markup included, or the plain
// text, as the voice takes it) is at most a number of UTF-8 bytes. Cuts fall
// at paragraph ends, else sentence ends, else word boundaries, never inside a
// word, a surrogate pair or a pause glyph's span, and inside a say-as, date,
// time or sub span only when nothing else fits. An effect that crosses a cut
// is clipped into both parts with its value, so each part is a well-formed
// document of its own; a pause glyph that took the first pause's length
// carries a Break span of that length in its part. The parts' texts, joined,
// give the whole text. Only a single character whose markup alone is over the
// limit makes a part that is larger.
class RequestSplitter {
public:
    // byteLimit <= 0 gives the whole document as one part. A text of only
    // white space or no text gives one part as well.
    static QList<ConversionPart> split(const QString &text, const EffectsArray &spans,
                                       const QString &voice, qint64 byteLimit);

    // How many requests the document takes: split(...).size().
    static int partCount(const QString &text, const EffectsArray &spans, const QString &voice,
                         qint64 byteLimit);

    // The UTF-8 size of the input a request for this text and these spans
    // carries with this voice.
    static qint64 inputBytes(const QString &text, const EffectsArray &spans, const QString &voice);
};

} // namespace parlino
