#include "GoldenData.h"
#include "OfflineAudio.h"
#include "SpanBuilders.h"
#include "playback/SpeechTiming.h"
#include "synthesis/Conversion.h"
#include "synthesis/Subtitles.h"

#include <QTest>

using namespace parlino;

namespace {

QStringList pieces(const QString &text, const QList<TextRange> &ranges) {
    QStringList out;
    for (const TextRange &range : ranges)
        out << text.mid(range.location, range.length);
    return out;
}

// "from,to[,effect,value]" spans, ";" between; emphasis when no effect is named.
EffectsArray spansOf(const QString &cell) {
    EffectsArray spans;
    for (const QString &item : cell.split(u';', Qt::SkipEmptyParts)) {
        const QStringList f = item.split(u',');
        spans << (f.size() < 4 ? span(f[0].toInt(), f[1].toInt())
                               : span(f[0].toInt(), f[1].toInt(), f[2], f[3]));
    }
    return spans;
}

struct Heard {
    int rate = 0;
    QVector<qint16> pcm;
    QList<std::pair<QString, qint64>> marks;
    QString error;
    bool ended = false;
};

// The offline voice's preview of a request, waited for.
Heard preview(const QJsonObject &request) {
    OfflineSpeechEngine engine;
    Heard heard;
    SpeechPreviewHandlers handlers;
    handlers.started = [&](int rate) { heard.rate = rate; };
    handlers.audio = [&](const QByteArray &bytes) {
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        heard.pcm.append(QVector<qint16>(samples, samples + bytes.size() / 2));
    };
    handlers.mark = [&](const QString &name, qint64 sample) { heard.marks.append({name, sample}); };
    handlers.ended = [&](const SpeechError &error) {
        heard.error = error.message;
        heard.ended = true;
    };
    engine.preview(request, handlers);
    static_cast<void>(QTest::qWaitFor([&] { return heard.ended; }, 60000));
    return heard;
}

// Where each marked unit starts, in seconds.
QList<WordStart> startsOf(const Heard &heard, const QList<TextRange> &units) {
    QList<WordStart> starts;
    for (const auto &[name, sample] : heard.marks)
        starts.append({units.at(markIndex(name)).location, double(sample) / heard.rate});
    return starts;
}

QStringList wordTexts(const QString &text) {
    return pieces(text, wordsOf(text));
}

} // namespace

Q_DECLARE_METATYPE(parlino::Subtitles::Format)

class TestSpeechTiming : public QObject {
    Q_OBJECT
private slots:
    void words_data();
    void words();
    void marked_data();
    void marked();
    void sparseMarksForTheCloudLimit();
    void subtitleLayout_data();
    void subtitleLayout();
    void subtitlesInterpolateMissingStarts();
    void subtitleFiles_data();
    void subtitleFiles();
    void offlineMarksAndSubtitles();
};

void TestSpeechTiming::words_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/timing/words.tsv"))
        QTest::newRow(qPrintable(row[0])) << row[1] << row[2].split(u'|', Qt::SkipEmptyParts);
}

void TestSpeechTiming::words() {
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(pieces(text, wordsOf(text)), expected);
}

void TestSpeechTiming::marked_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<QString>("expected");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/timing/marked.tsv"))
        QTest::newRow(qPrintable(row[0])) << row[1] << spansOf(row[2]) << row[3];
}

void TestSpeechTiming::marked() {
    QFETCH(QString, text);
    QFETCH(EffectsArray, spans);
    QFETCH(QString, expected);
    QCOMPARE(markedSsml(text, spans, MarkDensity::Words).ssml, expected);
}

// A text whose word marks would pass the service's limit is marked per sentence.
void TestSpeechTiming::sparseMarksForTheCloudLimit() {
    ConversionInput input;
    input.voice = QStringLiteral("en-US-Standard-B");
    input.text = QStringLiteral("Short words here. ").repeated(100); // 1,800 characters
    QList<TextRange> units;
    const QJsonObject limited = markedRequest(input, 5000, &units);
    QCOMPARE(units.size(), 100);
    QVERIFY(limited["input"]["ssml"].toString().toUtf8().size() <= 5000);
    markedRequest(input, 0, &units);
    QCOMPARE(units.size(), 300);
}

void TestSpeechTiming::subtitleLayout_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // cues, lines joined by "|"
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/subtitles/layout.tsv"))
        QTest::newRow(qPrintable(row[0])) << QString(row[1]).replace("\\n", "\n") << row.mid(2);
}

void TestSpeechTiming::subtitleLayout() {
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
void TestSpeechTiming::subtitlesInterpolateMissingStarts() {
    const QString text = QStringLiteral("One two. Three four.");
    const QList<SubtitleCue> cues = Subtitles::cues(text, {{0, 0.5}, {15, 3.0}}, 4.0);
    QCOMPARE(cues.size(), 2);
    QCOMPARE(cues.at(0).start, 0.5);
    QCOMPARE(cues.at(0).end, cues.at(1).start);
    QVERIFY(cues.at(1).start > 0.5 && cues.at(1).start < 3.0); // "Three" at 9, between 0 and 15
    QCOMPARE(cues.at(1).end, 4.0);
}

void TestSpeechTiming::subtitleFiles_data() {
    QTest::addColumn<Subtitles::Format>("format");
    QTest::newRow("SubRip") << Subtitles::Format::SubRip;
    QTest::newRow("WebVTT") << Subtitles::Format::WebVtt;
}

// Numbering, header, the hour field and each format's decimal separator.
void TestSpeechTiming::subtitleFiles() {
    QFETCH(Subtitles::Format, format);
    const QList<SubtitleCue> cues = {{0.5, 2.25, {"Hello there."}},
                                     {2.25, 3661.007, {"A first line,", "and a second."}}};
    QCOMPARE(Subtitles::format(cues, format),
             goldenText(PARLINO_TEST_DATA "/subtitles/two-cues." + Subtitles::suffix(format)));
}

// Every mark eSpeak reports stands for a word of the editor's text, in order,
// and a pause shows between the words around it. Subtitles from those marks:
// cue times increase, every word is in exactly one cue, in order, the last
// cue ends with the audio, and the cue after the pause starts within 50 ms of
// the sound.
void TestSpeechTiming::offlineMarksAndSubtitles() {
    ConversionInput input;
    input.voice = QStringLiteral("en-US-Standard-B");
    input.text = QStringLiteral("Say \U0001F600 it loud.\u23F8 And on 10/09/1960, café time.");
    input.spans = {span(7, 9), span(10, 14, "Volume", "loud"), span(15, 16, "Break", "2"),
                   span(24, 34, "Date", "dmy")};
    QList<TextRange> units;
    const Heard heard = preview(markedRequest(input, 0, &units));
    QVERIFY2(heard.error.isEmpty(), qPrintable(heard.error));
    QVERIFY(heard.pcm.size() > heard.rate * 3);

    const QList<TextRange> words = wordsOf(input.text);
    QStringList spoken;
    qint64 previous = -1;
    qint64 beforePause = -1;
    for (const auto &[name, sample] : heard.marks) {
        const int index = markIndex(name);
        QVERIFY2(index >= 0 && index < units.size(), qPrintable(name));
        QVERIFY(words.contains(units.at(index)));
        QVERIFY(sample >= previous && sample < heard.pcm.size());
        const QString word = input.text.mid(units.at(index).location, units.at(index).length);
        if (word == QLatin1String("And"))
            QVERIFY2(sample - beforePause > heard.rate * 2, "the pause lies between loud and And");
        if (word == QLatin1String("loud"))
            beforePause = sample;
        spoken << word;
        previous = sample;
    }
    // The date's inner numbers have no mark: the mark before the element stands for them.
    QCOMPARE(spoken, (QStringList{"Say", "it", "loud", "And", "on", "10", "café", "time"}));

    const double seconds = double(heard.pcm.size()) / heard.rate;
    const QList<SubtitleCue> cues = Subtitles::cues(input.text, startsOf(heard, units), seconds);
    QStringList inCues;
    double previousEnd = 0;
    for (const SubtitleCue &cue : cues) {
        QVERIFY(cue.start >= previousEnd - 0.0005 && cue.end > cue.start);
        previousEnd = cue.end;
        for (const QString &line : cue.lines)
            inCues += wordTexts(line);
    }
    QCOMPARE(inCues, wordTexts(input.text));
    QVERIFY(qAbs(cues.last().end - seconds) < 0.001);

    // The first sound a second after "loud" (the pause lasts two) begins the second sentence.
    QVERIFY(OfflineAudio::longestSilence(heard.pcm, heard.rate, -40.0) > 1.8);
    const auto onset = std::find_if(heard.pcm.cbegin() + beforePause + heard.rate, heard.pcm.cend(),
                                    [](qint16 v) { return std::abs(int(v)) > 300; });
    const double sound = double(onset - heard.pcm.cbegin()) / heard.rate;
    QVERIFY2(
        qAbs(cues.at(1).start - sound) < 0.05,
        qPrintable(QStringLiteral("cue at %1 s, sound at %2 s").arg(cues.at(1).start).arg(sound)));
}

QTEST_GUILESS_MAIN(TestSpeechTiming)
#include "tst_speechtiming.moc"
