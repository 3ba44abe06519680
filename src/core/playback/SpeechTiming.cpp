#include "playback/SpeechTiming.h"

#include "synthesis/Conversion.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/SynthesisRequest.h"

#include <QTextBoundaryFinder>

namespace parlino {

namespace {

// A piece between word boundaries is a word when it holds a letter or a digit;
// emoji, pause glyphs and punctuation (with their variation selectors) are not.
bool isWord(QStringView piece) {
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const QChar c = piece.at(i);
        if (c.isHighSurrogate() && i + 1 < piece.size() && piece.at(i + 1).isLowSurrogate()) {
            if (QChar::isLetterOrNumber(QChar::surrogateToUcs4(c, piece.at(++i))))
                return true;
        } else if (c.isLetterOrNumber()) {
            return true;
        }
    }
    return false;
}

} // namespace

QList<TextRange> wordsOf(QStringView text) {
    QList<TextRange> words;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text.data(), int(text.size()));
    qsizetype start = 0;
    while (finder.toNextBoundary() >= 0) {
        const qsizetype end = finder.position();
        const QStringView piece = text.mid(start, end - start);
        if (isWord(piece))
            words.append({start, end - start});
        start = end;
    }
    return words;
}

QList<TextRange> sentencesOf(QStringView text) {
    const QList<TextRange> words = wordsOf(text);
    QList<TextRange> sentences;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, text.data(), int(text.size()));
    qsizetype next = 0; // first word not yet in a sentence
    while (finder.toNextBoundary() >= 0 && next < words.size()) {
        const qint64 end = finder.position();
        qsizetype last = next;
        while (last < words.size() && words.at(last).end() <= end)
            ++last;
        if (last > next) {
            const qint64 from = words.at(next).location;
            sentences.append({from, words.at(last - 1).end() - from});
            next = last;
        }
    }
    return sentences;
}

MarkedSsml markedSsml(const QString &text, const EffectsArray &spans, MarkDensity density) {
    MarkedSsml result;
    result.units = density == MarkDensity::Words ? wordsOf(text) : sentencesOf(text);
    std::vector<qint64> positions;
    positions.reserve(std::size_t(result.units.size()));
    for (const TextRange &unit : std::as_const(result.units))
        positions.push_back(unit.location);
    result.ssml = assembleSsmlWithMarks(text, spans, positions);
    return result;
}

int markIndex(QStringView name) {
    if (name.size() < 2 || name.front() != u'w')
        return -1;
    bool ok = false;
    const int index = name.mid(1).toInt(&ok);
    return ok && index >= 0 ? index : -1;
}

qint64 inputByteLimit(const SpeechEngine *engine) {
    return engine ? engine->partByteLimit() : 0;
}

QJsonObject markedRequest(const ConversionInput &input, qint64 byteLimit, QList<TextRange> *units) {
    MarkedSsml marked = markedSsml(input.text, input.spans, MarkDensity::Words);
    if (byteLimit > 0 && marked.ssml.toUtf8().size() > byteLimit)
        marked = markedSsml(input.text, input.spans, MarkDensity::Sentences);
    *units = marked.units;
    return SynthesisRequest::body(input.text, marked.ssml, input.voice, input.pitch, input.speed);
}

} // namespace parlino
