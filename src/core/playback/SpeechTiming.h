#pragma once

#include "editing/SSMLCharactersModel.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <QJsonObject>

namespace parlino {

class SpeechEngine;
struct ConversionInput;

// A stretch of the spoken text: offsets in UTF-16 code units.
struct TextRange {
    qint64 location = 0;
    qint64 length = 0;

    qint64 end() const { return location + length; }
    bool operator==(const TextRange &other) const {
        return location == other.location && length == other.length;
    }
};

// When the voice reaches a word (or a sentence, when the marks are sparse):
// its range in the spoken text and its first sample in the audio.
struct TimedWord {
    TextRange range;
    qint64 sample = 0;
};

// How densely the document is marked: before every word, or before the first
// word of every sentence only (to stay inside the cloud service's byte limit).
enum class MarkDensity { Words, Sentences };

// The SSML of a text with a mark before each word (or sentence), and the
// text range each mark stands for: mark "wI" is units[I].
struct MarkedSsml {
    QString ssml;
    QList<TextRange> units;
};

// The words of a text: runs of letters, digits and marks between the word
// boundaries of Unicode (QTextBoundaryFinder), pause glyphs and punctuation left out.
QList<TextRange> wordsOf(QStringView text);

// The sentences of a text, each from its first word to its last.
QList<TextRange> sentencesOf(QStringView text);

// Assembles the text and spans like a conversion does, with marks added.
MarkedSsml markedSsml(const QString &text, const EffectsArray &spans, MarkDensity density);

// The index I of a mark named "wI", or -1 for any other name.
int markIndex(QStringView name);

// Bytes of request input the engine takes (the cloud service's 5,000), or 0
// when it has no limit.
qint64 inputByteLimit(const SpeechEngine *engine);

// The request for the input with a mark before each word, or before each
// sentence when word marks would pass byteLimit (0: no limit); units receives
// the marks' ranges in the input's text.
QJsonObject markedRequest(const ConversionInput &input, qint64 byteLimit, QList<TextRange> *units);

} // namespace parlino
