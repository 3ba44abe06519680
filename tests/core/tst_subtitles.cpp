#include "OfflineAudio.h"
#include "SpanBuilders.h"
#include "playback/SpeechTiming.h"
#include "synthesis/Conversion.h"
#include "synthesis/Subtitles.h"

#include <QRegularExpression>
#include <QTest>

using namespace parlino;

Q_DECLARE_METATYPE(parlino::Subtitles::Format)

namespace {

// Reads subtitles back as a player would: cues with times in seconds and lines.
// An empty list with a failure message when the file is malformed.
QList<SubtitleCue> parse(const QString &file, Subtitles::Format format, QString *failure) {
    static const QRegularExpression timing(
        QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)[,.](\\d\\d\\d) --> "
                       "(\\d\\d):(\\d\\d):(\\d\\d)[,.](\\d\\d\\d)$"));
    QStringList blocks = file.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    if (format == Subtitles::Format::WebVtt) {
        if (blocks.isEmpty() || blocks.takeFirst() != QLatin1String("WEBVTT")) {
            *failure = QStringLiteral("no WEBVTT header");
            return {};
        }
    }
    QList<SubtitleCue> cues;
    for (const QString &block : blocks) {
        QStringList lines = block.split(u'\n', Qt::SkipEmptyParts);
        if (format == Subtitles::Format::SubRip &&
            lines.takeFirst() != QString::number(cues.size() + 1)) {
            *failure = QStringLiteral("cue %1 is misnumbered").arg(cues.size() + 1);
            return {};
        }
        const auto match = timing.match(lines.isEmpty() ? QString() : lines.takeFirst());
        const QString separator = format == Subtitles::Format::SubRip ? "," : ".";
        if (!match.hasMatch() || !block.contains(separator) || lines.isEmpty()) {
            *failure = QStringLiteral("bad cue: ") + block;
            return {};
        }
        const auto seconds = [&match](int first) {
            return match.captured(first).toInt() * 3600 + match.captured(first + 1).toInt() * 60 +
                   match.captured(first + 2).toInt() + match.captured(first + 3).toInt() / 1000.0;
        };
        cues.append({seconds(1), seconds(5), lines});
    }
    return cues;
}

QStringList wordTexts(const QString &text) {
    QStringList words;
    for (const TextRange &word : wordsOf(text))
        words << text.mid(word.location, word.length);
    return words;
}

const QString story = QStringLiteral(
    "It began on a Tuesday.\u23F8 Nobody in the quiet little village expected that the old "
    "clockmaker would finally open his shop again after so many silent years, but he did "
    "\U0001F570\uFE0F. Children ran; dogs barked!\n\nThe end");

} // namespace

class TestSubtitles : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void interpolatesMissingStarts();
    void writesValidFiles_data();
    void writesValidFiles();
    void alignedWithTheVoice();
};

void TestSubtitles::layout_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // cues, lines joined by "|"
    QTest::newRow("one cue per sentence") << QStringLiteral("Hello there. How are you?")
                                          << QStringList{"Hello there.", "How are you?"};
    QTest::newRow("two lines of at most 42")
        << QStringLiteral("This sentence is somewhat longer than a single subtitle line.")
        << QStringList{"This sentence is somewhat longer than a|single subtitle line."};
    QTest::newRow("a long sentence goes on in the next cue")
        << QString(QStringLiteral("word ").repeated(24).trimmed() + u'.')
        << QStringList{"word word word word word word word word|word word word word word word "
                       "word word",
                       "word word word word word word word word."};
    QTest::newRow("punctuation stays with its word, glyphs and line breaks go")
        << QStringLiteral("Wait\u23F8 for it\u2014now! \"Quoted,\" she said.\n\nNext")
        << QStringList{"Wait for it\u2014now!", "\"Quoted,\" she said.", "Next"};
    QTest::newRow("a word longer than a line has its own")
        << QStringLiteral("Supercalifragilisticexpialidociousandthensomemore fun.")
        << QStringList{"Supercalifragilisticexpialidociousandthensomemore|fun."};
}

void TestSubtitles::layout() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QStringList cues;
    for (const SubtitleCue &cue : Subtitles::cues(text, {}, 10.0)) {
        cues << cue.lines.join(u'|');
        for (const QString &line : cue.lines)
            QVERIFY(line.size() <= Subtitles::maxLineLength || !line.contains(u' '));
    }
    QCOMPARE(cues, expected);
}

// Known starts are kept; the words between are placed by their offsets; a
// cue ends where the next begins, the last at the end of the audio.
void TestSubtitles::interpolatesMissingStarts() {
    const QString text = QStringLiteral("One two. Three four.");
    const QList<SubtitleCue> cues = Subtitles::cues(text, {{0, 0.5}, {15, 3.0}}, 4.0);
    QCOMPARE(cues.size(), 2);
    QCOMPARE(cues.at(0).start, 0.5);
    QCOMPARE(cues.at(0).end, cues.at(1).start);
    QVERIFY(cues.at(1).start > 0.5 && cues.at(1).start < 3.0); // "Three" at 9, between 0 and 15
    QCOMPARE(cues.at(1).end, 4.0);
}

void TestSubtitles::writesValidFiles_data() {
    QTest::addColumn<Subtitles::Format>("format");
    QTest::newRow("SubRip") << Subtitles::Format::SubRip;
    QTest::newRow("WebVTT") << Subtitles::Format::WebVtt;
}

// From the offline voice's marks: the file reads back, cue times increase,
// every word of the text is in exactly one cue, in order.
void TestSubtitles::writesValidFiles() {
    QFETCH(Subtitles::Format, format);
    ConversionInput input;
    input.text = story;
    input.voice = QStringLiteral("en-US-Standard-B");
    input.spans = {span(22, 23, "Break", "1"), span(24, 30, "Say as", "characters")};
    QList<TextRange> units;
    OfflineSpeechEngine engine;
    QList<SpeechEngine::MarkTime> marks;
    double seconds = -1;
    engine.synthesizeTimed(markedRequest(input, 0, &units),
                           [&](const QByteArray &, const QList<SpeechEngine::MarkTime> &m, double s,
                               const SpeechError &) {
                               marks = m;
                               seconds = s;
                           });
    QTRY_VERIFY_WITH_TIMEOUT(seconds > 0, 30000);
    QList<WordStart> starts;
    for (const SpeechEngine::MarkTime &mark : marks)
        starts.append({units.at(markIndex(mark.name)).location, mark.seconds});

    QString failure;
    const QString file = Subtitles::format(Subtitles::cues(story, starts, seconds), format);
    const QList<SubtitleCue> cues = parse(file, format, &failure);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QStringList words;
    double previousEnd = 0;
    for (const SubtitleCue &cue : cues) {
        QVERIFY(cue.start >= previousEnd - 0.0005 && cue.end > cue.start);
        previousEnd = cue.end;
        for (const QString &line : cue.lines)
            words += wordTexts(line);
    }
    QCOMPARE(words, wordTexts(story));
    QVERIFY(qAbs(cues.last().end - seconds) < 0.001);
}

// After a pause, the next sentence's cue starts within 50 ms of the sound.
void TestSubtitles::alignedWithTheVoice() {
    ConversionInput input;
    input.text = QStringLiteral("First part.\u23F8 Second part.");
    input.voice = QStringLiteral("en-US-Standard-B");
    input.spans = {span(11, 12, "Break", "1")};
    QList<TextRange> units;
    const QJsonObject request = markedRequest(input, 0, &units);
    OfflineSpeechEngine engine;
    QVector<qint16> pcm;
    QList<WordStart> starts;
    int rate = 0;
    bool ended = false;
    SpeechPreviewHandlers handlers;
    handlers.started = [&](int r) { rate = r; };
    handlers.audio = [&](const QByteArray &bytes) {
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        pcm.append(QVector<qint16>(samples, samples + bytes.size() / 2));
    };
    handlers.mark = [&](const QString &name, qint64 sample) {
        starts.append({units.at(markIndex(name)).location, double(sample) / rate});
    };
    handlers.ended = [&](const SpeechError &) { ended = true; };
    engine.preview(request, handlers);
    QTRY_VERIFY_WITH_TIMEOUT(ended, 30000);

    const QList<SubtitleCue> cues = Subtitles::cues(input.text, starts, double(pcm.size()) / rate);
    QCOMPARE(cues.size(), 2);
    // The sound after the longest quiet stretch (the pause) begins the second sentence.
    qsizetype onset = -1;
    qsizetype quiet = 0;
    qsizetype longestQuiet = 0;
    for (qsizetype i = 0; i < pcm.size(); ++i) {
        if (std::abs(int(pcm.at(i))) > 300) {
            if (quiet > longestQuiet) {
                longestQuiet = quiet;
                onset = i;
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    QVERIFY(longestQuiet > rate * 0.9);
    const double sound = double(onset) / rate;
    QVERIFY2(
        qAbs(cues.at(1).start - sound) < 0.05,
        qPrintable(QStringLiteral("cue at %1 s, sound at %2 s").arg(cues.at(1).start).arg(sound)));
}

QTEST_GUILESS_MAIN(TestSubtitles)
#include "tst_subtitles.moc"
