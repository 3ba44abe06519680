#include "synthesis/offline/EspeakSsmlTranslator.h"

#include "Logging.h"
#include "editing/EffectKind.h"
#include "synthesis/XmlText.h"
#include "synthesis/offline/OfflineVoice.h"
#include "synthesis/offline/SsmlNode.h"
#include "synthesis/offline/sayas/SayAsReading.h"
#include "text/Utf16.h"

#include <QHash>
#include <QRegularExpression>

#include <cmath>

namespace parlino {

namespace {

bool isSentencePunctuation(QChar c) {
    static const QString marks = QStringLiteral(".!?;:,\u2026\u3002\uFF01\uFF1F");
    return marks.contains(c);
}

// A time such as "2s", "1.5s", "500ms" or "2" (seconds) in milliseconds; -1 if unreadable.
int timeMilliseconds(QStringView time) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d+(?:[.,]\\d*)?|[.,]\\d+)\\s*(ms|s)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(time);
    if (!match.hasMatch())
        return -1;
    QString number = match.captured(1);
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    const double value = number.toDouble();
    const bool ms = match.captured(2).compare(QLatin1String("ms"), Qt::CaseInsensitive) == 0;
    const double result = ms ? value : value * 1000.0;
    return result > 1e9 ? 1000000000 : int(std::lround(result));
}

int strengthMilliseconds(const QString &strength) {
    static const QHash<QString, int> table{
        {QStringLiteral("none"), 0},     {QStringLiteral("x-weak"), 70},
        {QStringLiteral("weak"), 150},   {QStringLiteral("medium"), 230},
        {QStringLiteral("strong"), 450}, {QStringLiteral("x-strong"), 670}};
    return table.value(strength.trimmed().toLower(), 230);
}

// eSpeak reads "+6dB" as +6 %; a level in decibels becomes the matching percentage.
QString espeakVolume(const QString &volume) {
    static const QStringList keywords{QStringLiteral("silent"), QStringLiteral("x-soft"),
                                      QStringLiteral("soft"),   QStringLiteral("medium"),
                                      QStringLiteral("loud"),   QStringLiteral("x-loud"),
                                      QStringLiteral("default")};
    const QString v = volume.trimmed().toLower();
    if (keywords.contains(v))
        return v;
    static const QRegularExpression decibels(QStringLiteral("^([+-]?\\d+(?:\\.\\d+)?)\\s*db$"));
    const QRegularExpressionMatch match = decibels.match(v);
    if (match.hasMatch()) {
        const double db = qBound(-60.0, match.captured(1).toDouble(), 20.0);
        return QStringLiteral("%1%").arg(std::lround(100.0 * std::pow(10.0, db / 20.0)));
    }
    static const QRegularExpression plain(QStringLiteral("^[+-]?\\d+(?:\\.\\d+)?%?$"));
    return plain.match(v).hasMatch() ? v : QString();
}

// Writes the eSpeak document: escapes text, merges breaks that follow each
// other (with only whitespace or tags between them) and keeps punctuation
// before a tag from being read aloud.
class Writer {
public:
    // Characters the voice cannot read are left out; they are counted.
    void skipHan(bool skip) { m_skipHan = skip; }
    // Pause lengths are written multiplied by this, so that eSpeak's fast
    // mode, which shortens them, gives back the asked length.
    void stretchPauses(double factor) { m_pauseStretch = factor; }
    int skipped() const { return m_skipped; }
    bool spoken() const { return m_spoken; }
    void text(QStringView text);
    void tag(const QString &markup);
    void addBreak(int ms);
    void flushBreak();
    QString finish();
    int leadingSilenceMs() const { return m_leadingSilence; }

private:
    QString m_out{QStringLiteral("<speak>")};
    // ms, -1 when none; 64 bits, so that any number of pauses of the largest
    // readable length add up without wrapping.
    qint64 m_pendingBreak = -1;
    QString m_pendingSpace; // whitespace seen after the pending break, escaped
    bool m_endsWithPunctuation = false;
    bool m_spoken = false;    // some text has been written
    int m_leadingSilence = 0; // ms of pauses before any text
    bool m_skipHan = false;
    int m_skipped = 0;
    double m_pauseStretch = 1.0;
};

void Writer::text(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const bool pair = isSurrogatePairAt(text, i);
        if (c == QChar(pauseGlyph)) {
            addBreak(EspeakSsmlTranslator::glyphBreakMs);
            continue;
        }
        if (!pair && !isXmlChar(c.unicode()))
            continue;
        if (c.isSpace() && m_pendingBreak >= 0) {
            appendXmlText(m_pendingSpace, text.mid(i, 1), CarriageReturn::Keep);
            continue;
        }
        if (m_skipHan && OfflineVoice::isHan(pair ? QChar::surrogateToUcs4(c, text.at(i + 1))
                                                  : char32_t(c.unicode()))) {
            ++m_skipped;
            i += pair ? 1 : 0;
            continue;
        }
        if (!c.isSpace()) {
            flushBreak();
            m_endsWithPunctuation = !pair && isSentencePunctuation(c);
            m_spoken = true;
        }
        appendXmlText(m_out, text.mid(i, pair ? 2 : 1), CarriageReturn::Keep);
        i += pair ? 1 : 0;
    }
}

void Writer::tag(const QString &markup) {
    if (m_endsWithPunctuation)
        m_out += QLatin1Char('\n');
    m_endsWithPunctuation = false;
    m_out += markup;
}

void Writer::addBreak(int ms) {
    // Saturates well above the cap: the sum is only compared with it.
    constexpr qint64 ceiling = qint64(1) << 50;
    m_pendingBreak = qMin(ceiling, qMax<qint64>(0, m_pendingBreak) + qMax(0, ms));
}

void Writer::flushBreak() {
    if (m_pendingBreak < 0)
        return;
    int ms = EspeakSsmlTranslator::maxBreakMs;
    if (m_pendingBreak > ms)
        qCInfo(lcSynthesis, "offline: a pause of %lld ms is shortened to %d ms",
               static_cast<long long>(m_pendingBreak), ms);
    else
        ms = int(m_pendingBreak);
    m_pendingBreak = -1;
    if (!m_spoken)
        m_leadingSilence = qMin(m_leadingSilence + ms, EspeakSsmlTranslator::maxBreakMs);
    else if (ms > 0)
        tag(QStringLiteral("<break time=\"%1ms\"/>").arg(std::lround(ms * m_pauseStretch)));
    m_out += m_pendingSpace;
    m_pendingSpace.clear();
}

QString Writer::finish() {
    flushBreak();
    tag(QStringLiteral("</speak>"));
    return m_out;
}

class Translation {
public:
    Translation(const QString &languageCode, int wordsPerMinute)
        : m_reading(languageCode) {
        m_writer.skipHan(!OfflineVoice::forVoice(languageCode, QString()).readsHan());
        m_writer.stretchPauses(EspeakSsmlTranslator::pauseStretch(wordsPerMinute));
    }

    void node(const SsmlNode &node);
    void children(const SsmlNode &node);
    QString finish() { return m_writer.finish(); }
    int bleeps() const { return m_bleeps; }
    int leadingSilenceMs() const { return m_writer.leadingSilenceMs(); }
    int skipped() const { return m_writer.skipped(); }
    bool spoken() const { return m_writer.spoken(); }

private:
    void sayAs(const SsmlNode &node);
    void prosody(const SsmlNode &node);
    void breakElement(const SsmlNode &node);
    void wrapped(const QString &open, const SsmlNode &node, const QString &close);

    SayAsReading m_reading;
    Writer m_writer;
    int m_bleeps = 0;
};

void Translation::children(const SsmlNode &node) {
    for (const SsmlNode &child : node.children)
        this->node(child);
}

void Translation::wrapped(const QString &open, const SsmlNode &node, const QString &close) {
    m_writer.tag(open);
    children(node);
    m_writer.tag(close);
}

void Translation::node(const SsmlNode &node) {
    const QString &name = node.name;
    if (node.isText()) {
        m_writer.text(node.text);
    } else if (name == QLatin1String("emphasis")) {
        static const QStringList levels{QStringLiteral("strong"), QStringLiteral("moderate"),
                                        QStringLiteral("none"), QStringLiteral("reduced")};
        const QString level = node.attribute("level").trimmed().toLower();
        wrapped(levels.contains(level) ? QStringLiteral("<emphasis level=\"%1\">").arg(level)
                                       : QStringLiteral("<emphasis>"),
                node, QStringLiteral("</emphasis>"));
    } else if (name == QLatin1String("say-as")) {
        sayAs(node);
    } else if (name == QLatin1String("prosody")) {
        prosody(node);
    } else if (name == QLatin1String("sub") && node.hasAttribute("alias")) {
        m_writer.text(node.attribute("alias"));
    } else if (name == QLatin1String("break")) {
        breakElement(node);
    } else if (name == QLatin1String("mark")) {
        const QString markName = node.attribute("name");
        if (!markName.startsWith(QLatin1String("parlino-"))) {
            m_writer.flushBreak();
            m_writer.tag(
                QStringLiteral("<mark name=\"%1\"/>").arg(escapeXmlAttribute(markName, u'"')));
        }
    } else if (name == QLatin1String("p") || name == QLatin1String("s")) {
        wrapped(QStringLiteral("<%1>").arg(name), node, QStringLiteral("</%1>").arg(name));
    } else {
        // speak, voice, lang, audio (its fallback text), phoneme and unknown elements.
        children(node);
    }
}

void Translation::sayAs(const SsmlNode &node) {
    const QString kind = node.attribute("interpret-as").trimmed().toLower();
    const QString text = node.flatText();
    QString reading;
    if (kind == QLatin1String("verbatim") || kind == QLatin1String("spell-out") ||
        kind == QLatin1String("characters") || kind == QLatin1String("tts:char")) {
        m_writer.tag(QStringLiteral("<say-as interpret-as=\"characters\">"));
        m_writer.text(text);
        m_writer.tag(QStringLiteral("</say-as>"));
        return;
    }
    if (kind == QLatin1String("expletive") || kind == QLatin1String("bleep")) {
        if (text.trimmed().isEmpty())
            return;
        m_writer.flushBreak();
        m_writer.tag(QStringLiteral("<mark name=\"%1\"/><prosody volume=\"silent\">")
                         .arg(QLatin1String(EspeakSsmlTranslator::bleepOnMark())));
        m_writer.text(text);
        m_writer.tag(QStringLiteral("</prosody><mark name=\"%1\"/>")
                         .arg(QLatin1String(EspeakSsmlTranslator::bleepOffMark())));
        ++m_bleeps;
        return;
    }
    if (kind == QLatin1String("date"))
        reading = m_reading.date(text, node.attribute("format").trimmed());
    else if (kind == QLatin1String("time"))
        reading = m_reading.time(text, node.attribute("format").trimmed().toLower() ==
                                           QLatin1String("hms24"));
    else if (kind == QLatin1String("ordinal"))
        reading = m_reading.ordinal(text);
    else if (kind == QLatin1String("fraction"))
        reading = m_reading.fraction(text);
    if (reading.isNull()) {
        if (kind == QLatin1String("date") || kind == QLatin1String("time") ||
            kind == QLatin1String("ordinal") || kind == QLatin1String("fraction"))
            qCDebug(lcSynthesis, "offline: \"%s\" is not a %s; read as written",
                    qUtf8Printable(text), qUtf8Printable(kind));
        children(node);
        return;
    }
    m_writer.text(reading);
}

void Translation::prosody(const SsmlNode &node) {
    QString open = QStringLiteral("<prosody");
    const QString volume = espeakVolume(node.attribute("volume"));
    if (!volume.isEmpty())
        open += QStringLiteral(" volume=\"%1\"").arg(volume);
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9.+%-]+$"));
    for (const char *key : {"rate", "pitch"}) {
        const QString value = node.attribute(key).trimmed();
        if (safe.match(value).hasMatch())
            open += QStringLiteral(" %1=\"%2\"").arg(QLatin1String(key), value);
    }
    if (open.size() == 8) { // no attribute eSpeak can use
        children(node);
        return;
    }
    wrapped(open + QLatin1Char('>'), node, QStringLiteral("</prosody>"));
}

void Translation::breakElement(const SsmlNode &node) {
    if (node.hasAttribute("time")) {
        const int ms = timeMilliseconds(node.attribute("time"));
        if (ms >= 0) {
            m_writer.addBreak(ms);
            return;
        }
        qCDebug(lcSynthesis, "offline: unreadable break time \"%s\"",
                qUtf8Printable(node.attribute("time")));
    }
    m_writer.addBreak(strengthMilliseconds(node.attribute("strength")));
}

} // namespace

const char *EspeakSsmlTranslator::bleepOnMark() {
    return "parlino-bleep-on";
}

const char *EspeakSsmlTranslator::bleepOffMark() {
    return "parlino-bleep-off";
}

double EspeakSsmlTranslator::pauseStretch(int wordsPerMinute) {
    // From 450 words per minute eSpeak synthesises at its normal rate and
    // speeds the whole sound up, pauses included, by the rate over 175.
    if (wordsPerMinute < fastModeWordsPerMinute)
        return 1.0;
    return double(wordsPerMinute) / double(normalWordsPerMinute);
}

EspeakDocument EspeakSsmlTranslator::translate(const QString &input, bool isSsml,
                                               const QString &languageCode, int wordsPerMinute) {
    EspeakDocument document;
    Translation translation(languageCode, wordsPerMinute);
    if (isSsml) {
        SsmlNode root;
        if (!SsmlNode::read(input, &root, &document.error))
            return document;
        translation.children(root);
    } else {
        translation.node(SsmlNode::textNode(input));
    }
    document.ssml = translation.finish();
    document.skipped = translation.skipped();
    document.unreadable = document.skipped > 0 && !translation.spoken();
    if (document.skipped > 0)
        qCInfo(lcSynthesis, "offline: %d kanji skipped; the voice reads kana only",
               document.skipped);
    document.bleeps = translation.bleeps();
    document.leadingSilenceMs = translation.leadingSilenceMs();
    return document;
}

} // namespace parlino
