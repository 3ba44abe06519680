#include "synthesis/Subtitles.h"

#include "editing/EffectKind.h"
#include "playback/SpeechTiming.h"

#include <QHash>
#include <QTextBoundaryFinder>

namespace parlino {

namespace Subtitles {

namespace {

// A word with what follows it up to the next word (punctuation), as shown.
struct Piece {
    QString text;
    double start = 0;
};

// Every word's start: known ones from the starts, the others interpolated by
// offset between the known neighbours (the audio's ends count as known).
QList<double> wordTimes(const QList<TextRange> &words, const QList<WordStart> &starts,
                        double totalSeconds, qint64 textLength) {
    QHash<qint64, double> known;
    for (const WordStart &start : starts)
        known.insert(start.location, start.seconds);
    QList<double> times(words.size(), -1.0);
    for (qsizetype i = 0; i < words.size(); ++i)
        times[i] = known.value(words.at(i).location, -1.0);
    qsizetype previous = -1; // index of the last known word
    for (qsizetype i = 0; i <= words.size(); ++i) {
        if (i < words.size() && times.at(i) < 0)
            continue;
        const qint64 fromOffset = previous < 0 ? 0 : words.at(previous).location;
        const double fromTime = previous < 0 ? 0.0 : times.at(previous);
        const qint64 toOffset = i < words.size() ? words.at(i).location : textLength;
        const double toTime = i < words.size() ? times.at(i) : qMax(totalSeconds, fromTime);
        for (qsizetype k = previous + 1; k < i; ++k) {
            const double share = toOffset > fromOffset ? double(words.at(k).location - fromOffset) /
                                                             double(toOffset - fromOffset)
                                                       : 0.0;
            times[k] = fromTime + share * (toTime - fromTime);
        }
        previous = i;
    }
    // Marks come in order of the audio; keep interpolated times from going backwards.
    for (qsizetype i = 1; i < times.size(); ++i)
        times[i] = qMax(times.at(i), times.at(i - 1));
    return times;
}

// A piece as shown: whitespace runs become one space (kept at the end, where
// it separates the piece from the next), pause glyphs are dropped.
QString shown(QStringView raw) {
    QString text;
    bool space = false;
    for (const QChar c : raw) {
        if (c == QChar(pauseGlyph))
            continue;
        if (c.isSpace()) {
            space = true;
            continue;
        }
        if (space && !text.isEmpty())
            text += u' ';
        space = false;
        text += c;
    }
    if (space && !text.isEmpty())
        text += u' ';
    return text;
}

// Packs a sentence's pieces into cues of at most maxLines lines.
void packSentence(const QList<Piece> &pieces, QList<SubtitleCue> *out) {
    SubtitleCue cue;
    QString line;
    const auto flushLine = [&] {
        if (!line.trimmed().isEmpty())
            cue.lines << line.trimmed();
        line.clear();
    };
    for (const Piece &piece : pieces) {
        const QString joined = line + piece.text;
        if (!line.isEmpty() && joined.trimmed().size() > maxLineLength) {
            flushLine();
            if (cue.lines.size() == maxLines) {
                out->append(cue);
                cue = SubtitleCue();
            }
        }
        if (cue.lines.isEmpty() && line.isEmpty())
            cue.start = piece.start;
        line += piece.text;
    }
    flushLine();
    if (!cue.lines.isEmpty())
        out->append(cue);
}

QString timestamp(double seconds, QChar separator) {
    const qint64 ms = qMax<qint64>(0, qRound64(seconds * 1000.0));
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

// WebVTT reads cue text as markup: &, < and > are written as entities.
QString escapedForVtt(QString line) {
    line.replace(u'&', QLatin1String("&amp;"));
    line.replace(u'<', QLatin1String("&lt;"));
    line.replace(u'>', QLatin1String("&gt;"));
    return line;
}

} // namespace

std::optional<Format> formatFromName(const QString &name) {
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("srt"))
        return Format::SubRip;
    if (lower == QLatin1String("vtt"))
        return Format::WebVtt;
    return std::nullopt;
}

QString suffix(Format format) {
    return format == Format::SubRip ? QStringLiteral("srt") : QStringLiteral("vtt");
}

QList<SubtitleCue> cues(const QString &text, const QList<WordStart> &starts, double totalSeconds) {
    const QList<TextRange> words = wordsOf(text);
    const QList<double> times = wordTimes(words, starts, totalSeconds, text.size());
    QList<SubtitleCue> result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, text);
    qsizetype next = 0;
    qint64 sentenceStart = 0;
    while (finder.toNextBoundary() >= 0 && next < words.size()) {
        const qint64 sentenceEnd = finder.position();
        QList<Piece> pieces;
        for (; next < words.size() && words.at(next).end() <= sentenceEnd; ++next) {
            const qint64 from = pieces.isEmpty() ? sentenceStart : words.at(next).location;
            const qint64 to = next + 1 < words.size() && words.at(next + 1).end() <= sentenceEnd
                                  ? words.at(next + 1).location
                                  : sentenceEnd;
            pieces.append({shown(QStringView(text).mid(from, to - from)), times.at(next)});
        }
        packSentence(pieces, &result);
        sentenceStart = sentenceEnd;
    }
    for (qsizetype i = 0; i < result.size(); ++i) {
        const double end = i + 1 < result.size() ? result.at(i + 1).start : totalSeconds;
        result[i].end = qMax(end, result.at(i).start);
    }
    return result;
}

QString format(const QList<SubtitleCue> &cues, Format format) {
    QString out;
    if (format == Format::WebVtt)
        out += QLatin1String("WEBVTT\n\n");
    const QChar separator = format == Format::SubRip ? u',' : u'.';
    for (qsizetype i = 0; i < cues.size(); ++i) {
        const SubtitleCue &cue = cues.at(i);
        if (format == Format::SubRip)
            out += QString::number(i + 1) + u'\n';
        out += timestamp(cue.start, separator) + QLatin1String(" --> ") +
               timestamp(cue.end, separator) + u'\n';
        for (const QString &line : cue.lines)
            out += (format == Format::WebVtt ? escapedForVtt(line) : line) + u'\n';
        out += u'\n';
    }
    return out;
}

} // namespace Subtitles

} // namespace parlino
