#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace parlino {

// One subtitle: one or two lines shown from start to end (seconds).
struct SubtitleCue {
    double start = 0;
    double end = 0;
    QStringList lines;
};

// When the voice reaches a word: its first UTF-16 offset in the text, in seconds.
struct WordStart {
    qint64 location = 0;
    double seconds = 0;
};

// Subtitles of spoken text in SubRip (.srt) or WebVTT (.vtt).
namespace Subtitles {

enum class Format { SubRip, WebVtt };

constexpr int maxLineLength = 42;
constexpr int maxLines = 2;

// "srt" or "vtt" (any case); nothing otherwise.
std::optional<Format> formatFromName(const QString &name);
QString suffix(Format format); // "srt", "vtt"

// Cues of whole sentences, at most two lines of at most 42 characters (a
// single longer word has a line of its own); a longer sentence is split at
// word boundaries. Words without a known start (inside an element that
// carries no mark, or when only sentences are marked) are timed between
// their neighbours in proportion to their offsets. A cue lasts until the
// next one starts, the last one until the end of the audio (totalSeconds).
QList<SubtitleCue> cues(const QString &text, const QList<WordStart> &starts, double totalSeconds);

QString format(const QList<SubtitleCue> &cues, Format format);

} // namespace Subtitles

} // namespace parlino
