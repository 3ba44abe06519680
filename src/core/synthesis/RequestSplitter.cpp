#include "synthesis/RequestSplitter.h"

#include "catalogue/VoiceFamily.h"
#include "catalogue/VoiceInfo.h"
#include "editing/EffectKind.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/XmlText.h"

#include <QHash>
#include <QJsonObject>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

namespace parlino {

namespace {

constexpr qint64 speakElementBytes = 15; // <speak></speak>

qint64 utf8Bytes(QStringView text) {
    qint64 bytes = 0;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 || c.isSurrogate() ? 2 : 3;
    return bytes;
}

// The bytes a UTF-16 unit takes as XML character content (a surrogate pair
// counts two for each half).
qint64 xmlBytes(char16_t c) {
    switch (c) {
    case u'&':
    case u'\r':
        return 5;
    case u'<':
    case u'>':
        return 4;
    default:
        break;
    }
    if (QChar::isSurrogate(c))
        return 2;
    if (!isXmlChar(c))
        return 0;
    return utf8Bytes(QStringView(&c, 1));
}

bool isTextOnly(EffectKind::Id id) {
    return id != EffectKind::Emphasis && id != EffectKind::Volume && id != EffectKind::Break;
}

bool isValidSpan(const SSMLCharactersModel &span, qint64 textLength) {
    return span.location >= 0 && span.length >= 0 && span.end() <= textLength;
}

// A half-open range of the text.
struct Range {
    qint64 start;
    qint64 end;
};

// Keys with a weight each, to count the keys below a bound and sum their
// weights in logarithmic time once sorted.
class WeightedKeys {
public:
    void add(qint64 key, qint64 weight) { m_items.push_back({key, weight}); }
    void sort() {
        std::sort(m_items.begin(), m_items.end());
        m_sums.assign(m_items.size() + 1, 0);
        for (std::size_t i = 0; i < m_items.size(); ++i)
            m_sums[i + 1] = m_sums[i] + m_items[i].second;
    }
    // How many keys lie below the bound (or at it, when inclusive), and their weight.
    std::pair<qint64, qint64> below(qint64 bound, bool inclusive) const {
        const Item edge{bound, inclusive ? std::numeric_limits<qint64>::max()
                                         : std::numeric_limits<qint64>::min()};
        const auto count =
            std::size_t(std::lower_bound(m_items.begin(), m_items.end(), edge) - m_items.begin());
        return {qint64(count), m_sums[count]};
    }

private:
    using Item = std::pair<qint64, qint64>; // key, weight
    std::vector<Item> m_items;
    std::vector<qint64> m_sums;
};

// A clipped span with the range it had in the whole text, which decides how
// spans of the same clipped range nest.
struct PartSpan {
    SSMLCharactersModel span;
    qint64 wholeStart;
    qint64 wholeEnd;
};

// One run of RequestSplitter::split over a document that does not fit whole.
class Splitter {
public:
    Splitter(const QString &text, const EffectsArray &spans, const QString &voice, qint64 limit);
    QList<ConversionPart> run();

private:
    enum class Level { Paragraph, Sentence, WordAfterSpace, Word, Grapheme };

    void collectBreaks();
    void measureUnits();
    void collectMarkup();
    void collectCutFreeZones();
    qint64 estimate(qint64 start, qint64 end) const;
    qint64 furthestFit(qint64 start, qint64 budget) const;
    qint64 chooseCut(qint64 start, qint64 furthest);
    qint64 cutAt(Level level, qint64 furthest, qint64 floor, bool outsideZones);
    qint64 previousBoundary(Level level, qint64 at, qint64 floor);
    qint64 cutFreeZoneStart(qint64 at) const;
    QTextBoundaryFinder &finder(QTextBoundaryFinder::BoundaryType type);
    ConversionPart makePart(qint64 start, qint64 end) const;
    bool isOrphanGlyph(qint64 at) const;

    const QString &m_text;
    const EffectsArray &m_spans;
    const QString &m_voice;
    const qint64 m_limit;
    const qint64 m_length;
    const bool m_ssml;        // the voice takes SSML and the document has spans
    const bool m_dropsGlyphs; // the voice takes plain text, which loses the glyphs with spans

    QHash<qint64, QString> m_breakAt; // pause length by location, first in list order
    std::optional<QString> m_firstBreak;
    std::vector<qint64> m_plainSums; // UTF-8 bytes of the text before each offset
    std::vector<qint64> m_xmlSums;   // the same as SSML character content
    // Whatever makes a part SSML: spans and pause glyphs with their own
    // Break span, by start and by the end of their presence, with the bytes of
    // their tags.
    WeightedKeys m_markupStarts;
    WeightedKeys m_markupEnds;
    std::vector<Range> m_cutFree; // insides of text-only spans, merged, ascending
    std::optional<QTextBoundaryFinder> m_graphemes, m_words, m_sentences;
};

Splitter::Splitter(const QString &text, const EffectsArray &spans, const QString &voice,
                   qint64 limit)
    : m_text(text)
    , m_spans(spans)
    , m_voice(voice)
    , m_limit(limit)
    , m_length(text.size())
    , m_ssml(!spans.isEmpty() && VoiceFamily::takesSsml(VoiceInfo::familyOfName(voice)))
    , m_dropsGlyphs(!spans.isEmpty() && !m_ssml) {
    collectBreaks();
    measureUnits();
    if (m_ssml)
        collectMarkup();
    collectCutFreeZones();
}

void Splitter::collectBreaks() {
    for (const SSMLCharactersModel &span : m_spans) {
        const EffectKind *kind = EffectKind::find(span.effects);
        if (!kind || kind->id != EffectKind::Break || !isValidSpan(span, m_length))
            continue;
        if (!m_firstBreak)
            m_firstBreak = span.ssmlTag;
        if (!m_breakAt.contains(span.location))
            m_breakAt.insert(span.location, span.ssmlTag);
    }
}

void Splitter::measureUnits() {
    const EffectKind &pause = EffectKind::byId(EffectKind::Break);
    m_plainSums.resize(std::size_t(m_length) + 1);
    m_xmlSums.resize(std::size_t(m_length) + 1);
    m_plainSums[0] = m_xmlSums[0] = 0;
    for (qint64 i = 0; i < m_length; ++i) {
        const char16_t c = m_text.at(i).unicode();
        qint64 xml = xmlBytes(c);
        if (c == pauseGlyph && m_ssml && m_firstBreak) {
            const QString value = m_breakAt.value(i, *m_firstBreak);
            xml = utf8Bytes(openingTag(pause, value));
        }
        const qint64 plain = c == pauseGlyph && m_dropsGlyphs ? 0 : utf8Bytes(QStringView(&c, 1));
        m_plainSums[i + 1] = m_plainSums[i] + plain;
        m_xmlSums[i + 1] = m_xmlSums[i] + xml;
    }
}

// A span is present in a part that overlaps it, an empty span or a Break span
// in the part that holds its location.
void Splitter::collectMarkup() {
    for (const SSMLCharactersModel &span : m_spans) {
        if (!isValidSpan(span, m_length))
            continue;
        const EffectKind *kind = EffectKind::find(span.effects);
        const bool isBreak = kind && kind->id == EffectKind::Break;
        qint64 tagBytes = 0;
        if (kind && !isBreak && span.length > 0)
            tagBytes = utf8Bytes(openingTag(*kind, span.ssmlTag)) + utf8Bytes(kind->closeTag);
        const qint64 presenceEnd =
            isBreak ? span.location + 1 : qMax(span.end(), span.location + 1);
        m_markupStarts.add(span.location, tagBytes);
        m_markupEnds.add(presenceEnd, tagBytes);
    }
    for (qint64 i = 0; i < m_length; ++i) {
        if (isOrphanGlyph(i)) {
            m_markupStarts.add(i, 0);
            m_markupEnds.add(i + 1, 0);
        }
    }
    m_markupStarts.sort();
    m_markupEnds.sort();
}

// Cutting inside a say-as or sub element would have each half read on its
// own (an alias said twice, half a date), so their insides are avoided.
void Splitter::collectCutFreeZones() {
    for (const SSMLCharactersModel &span : m_spans) {
        const EffectKind *kind = EffectKind::find(span.effects);
        if (kind && isTextOnly(kind->id) && isValidSpan(span, m_length) && span.length > 1)
            m_cutFree.push_back({span.location, span.end()});
    }
    std::sort(m_cutFree.begin(), m_cutFree.end(),
              [](const Range &a, const Range &b) { return a.start < b.start; });
    std::vector<Range> merged;
    for (const Range &zone : m_cutFree) {
        if (!merged.empty() && zone.start < merged.back().end)
            merged.back().end = qMax(merged.back().end, zone.end);
        else
            merged.push_back(zone);
    }
    m_cutFree.swap(merged);
}

bool Splitter::isOrphanGlyph(qint64 at) const {
    return m_firstBreak && m_text.at(at) == QChar(pauseGlyph) && !m_breakAt.contains(at);
}

// The input bytes of [start, end) as the assembly would make them, less the
// elements that crossing spans close and reopen; checked on the real part.
qint64 Splitter::estimate(qint64 start, qint64 end) const {
    if (!m_ssml)
        return m_plainSums[end] - m_plainSums[start];
    const auto [startedCount, startedBytes] = m_markupStarts.below(end, false);
    const auto [endedCount, endedBytes] = m_markupEnds.below(start, true);
    if (startedCount == endedCount)
        return m_plainSums[end] - m_plainSums[start];
    return m_xmlSums[end] - m_xmlSums[start] + startedBytes - endedBytes + speakElementBytes;
}

// The furthest end whose estimate is within the budget; start when none is.
qint64 Splitter::furthestFit(qint64 start, qint64 budget) const {
    qint64 low = start; // fits (an empty part)
    qint64 high = m_length + 1;
    while (high - low > 1) {
        const qint64 middle = low + (high - low) / 2;
        if (estimate(start, middle) <= budget)
            low = middle;
        else
            high = middle;
    }
    return low;
}

QTextBoundaryFinder &Splitter::finder(QTextBoundaryFinder::BoundaryType type) {
    std::optional<QTextBoundaryFinder> &slot = type == QTextBoundaryFinder::Grapheme ? m_graphemes
                                               : type == QTextBoundaryFinder::Word   ? m_words
                                                                                     : m_sentences;
    if (!slot)
        slot.emplace(type, m_text);
    return *slot;
}

// The last boundary of the level at or before `at` and after floor, or -1.
qint64 Splitter::previousBoundary(Level level, qint64 at, qint64 floor) {
    if (at <= floor)
        return -1;
    switch (level) {
    case Level::Paragraph:
        for (qint64 i = at - 1; i >= floor; --i) {
            const QChar c = m_text.at(i);
            if (c == u'\n' || c == QChar::ParagraphSeparator)
                return i + 1;
        }
        return -1;
    case Level::WordAfterSpace:
        for (qint64 b = previousBoundary(Level::Word, at, floor); b > 0;
             b = previousBoundary(Level::Word, b - 1, floor)) {
            if (m_text.at(b - 1).isSpace())
                return b;
        }
        return -1;
    default:
        break;
    }
    QTextBoundaryFinder &boundaries =
        finder(level == Level::Sentence ? QTextBoundaryFinder::Sentence
               : level == Level::Word   ? QTextBoundaryFinder::Word
                                        : QTextBoundaryFinder::Grapheme);
    boundaries.setPosition(at + 1);
    const qint64 boundary = boundaries.toPreviousBoundary();
    return boundary > floor ? boundary : -1;
}

// The start of the cut-free zone whose inside holds `at`, or -1.
qint64 Splitter::cutFreeZoneStart(qint64 at) const {
    auto it = std::upper_bound(m_cutFree.begin(), m_cutFree.end(), at,
                               [](qint64 p, const Range &r) { return p < r.start; });
    if (it == m_cutFree.begin())
        return -1;
    --it;
    return at > it->start && at < it->end ? it->start : -1;
}

// The last cut of the level at or before furthest and after floor, outside
// the cut-free zones if asked, or -1.
qint64 Splitter::cutAt(Level level, qint64 furthest, qint64 floor, bool outsideZones) {
    qint64 at = furthest;
    for (;;) {
        const qint64 boundary = previousBoundary(level, at, floor);
        if (boundary < 0)
            return -1;
        const qint64 zoneStart = outsideZones ? cutFreeZoneStart(boundary) : -1;
        if (zoneStart < 0)
            return boundary;
        at = zoneStart;
    }
}

// Where the part that starts at start ends, given the furthest end that
// fits: a paragraph end in the last third of the room, else a sentence end,
// else a word boundary (after white space if there is one), all outside
// text-only spans, else a word boundary inside one, else (a word longer than
// the room) a character boundary, else the first character whatever its size.
qint64 Splitter::chooseCut(qint64 start, qint64 furthest) {
    const qint64 twoThirds = start + (furthest - start) * 2 / 3;
    const std::tuple<Level, qint64, bool> levels[] = {
        {Level::Paragraph, twoThirds, true},   {Level::Sentence, start, true},
        {Level::WordAfterSpace, start, true},  {Level::Word, start, true},
        {Level::WordAfterSpace, start, false}, {Level::Word, start, false}};
    for (const auto &[level, floor, outsideZones] : levels) {
        const qint64 cut = cutAt(level, furthest, floor, outsideZones);
        if (cut > 0)
            return cut;
    }
    const qint64 grapheme = previousBoundary(Level::Grapheme, furthest, start);
    if (grapheme > 0)
        return grapheme;
    QTextBoundaryFinder &graphemes = finder(QTextBoundaryFinder::Grapheme);
    graphemes.setPosition(start);
    return graphemes.toNextBoundary();
}

ConversionPart Splitter::makePart(qint64 start, qint64 end) const {
    ConversionPart part;
    part.start = int(start);
    part.end = int(end);
    part.text = m_text.mid(start, end - start);
    std::vector<PartSpan> spans;
    for (const SSMLCharactersModel &span : m_spans) {
        if (!isValidSpan(span, m_length))
            continue;
        const EffectKind *kind = EffectKind::find(span.effects);
        const bool atLocation = span.location >= start && span.location < end;
        qint64 from = qMax(span.location, start);
        const qint64 to = qMin(span.end(), end);
        if (kind && kind->id == EffectKind::Break)
            from = span.location;
        const bool atItsLocation = span.length == 0 || (kind && kind->id == EffectKind::Break);
        if (atItsLocation ? !atLocation : from >= to)
            continue;
        PartSpan clipped{span, span.location, span.end()};
        clipped.span.location = from - start;
        clipped.span.length = qMax<qint64>(to - from, 0);
        spans.push_back(clipped);
    }
    for (qint64 i = start; i < end; ++i) {
        if (!isOrphanGlyph(i))
            continue;
        SSMLCharactersModel pause;
        pause.location = i - start;
        pause.length = 1;
        pause.effects = EffectKind::byId(EffectKind::Break).name;
        pause.ssmlTag = *m_firstBreak;
        spans.push_back({pause, i, i + 1});
    }
    // Spans the whole text nests outside stay outside where their clipped
    // ranges are the same.
    std::stable_sort(spans.begin(), spans.end(), [](const PartSpan &a, const PartSpan &b) {
        return a.wholeEnd != b.wholeEnd ? a.wholeEnd > b.wholeEnd : a.wholeStart < b.wholeStart;
    });
    part.spans.reserve(qsizetype(spans.size()));
    for (const PartSpan &s : spans)
        part.spans << s.span;
    return part;
}

QList<ConversionPart> Splitter::run() {
    QList<ConversionPart> parts;
    qint64 start = 0;
    while (start < m_length) {
        qint64 budget = m_limit;
        qint64 lastEnd = -1;
        for (;;) {
            const qint64 furthest = furthestFit(start, budget);
            const qint64 end = furthest >= m_length ? m_length : chooseCut(start, furthest);
            ConversionPart part = makePart(start, end);
            const qint64 over =
                RequestSplitter::inputBytes(part.text, part.spans, m_voice) - m_limit;
            if (over <= 0 || budget <= 0 || end == lastEnd) {
                parts << part;
                start = end;
                break;
            }
            // The estimate leaves out the elements that crossing spans close
            // and reopen, which grow with the part: scale the room down by
            // how far the part was over, and end it earlier.
            const qint64 estimated = estimate(start, end);
            budget = qMin(estimated * m_limit / (m_limit + over), estimated - 1);
            lastEnd = end;
        }
    }
    return parts;
}

} // namespace

qint64 RequestSplitter::inputBytes(const QString &text, const EffectsArray &spans,
                                   const QString &voice) {
    const QJsonObject input = SynthesisRequest::body(text, assembleSsml(text, spans), voice, 0, 100)
                                  .value(QLatin1String("input"))
                                  .toObject();
    const QJsonValue ssml = input.value(QLatin1String("ssml"));
    const QString string =
        ssml.isString() ? ssml.toString() : input.value(QLatin1String("text")).toString();
    return string.toUtf8().size();
}

QList<ConversionPart> RequestSplitter::split(const QString &text, const EffectsArray &spans,
                                             const QString &voice, qint64 byteLimit) {
    const ConversionPart whole{0, int(text.size()), text, spans};
    if (byteLimit <= 0 || QStringView(text).trimmed().isEmpty())
        return {whole};
    // UTF-8 takes at least a byte per UTF-16 unit; only dropped control
    // characters could make a longer text fit.
    if (text.size() <= 2 * byteLimit && inputBytes(text, spans, voice) <= byteLimit)
        return {whole};
    return Splitter(text, spans, voice, byteLimit).run();
}

int RequestSplitter::partCount(const QString &text, const EffectsArray &spans, const QString &voice,
                               qint64 byteLimit) {
    return int(split(text, spans, voice, byteLimit).size());
}

} // namespace parlino
