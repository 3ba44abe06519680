#include "OfflineAudio.h"
#include "SpanBuilders.h"
#include "playback/SpeechTiming.h"
#include "synthesis/Conversion.h"

#include <QTest>

using namespace parlino;

namespace {

QStringList pieces(const QString &text, const QList<TextRange> &ranges) {
    QStringList out;
    for (const TextRange &range : ranges)
        out << text.mid(range.location, range.length);
    return out;
}

struct Heard {
    int rate = 0;
    qint64 samples = 0;
    QList<std::pair<QString, qint64>> marks;
    QString error;
    bool ended = false;
};

Heard preview(SpeechEngine &engine, const QJsonObject &request) {
    Heard heard;
    SpeechPreviewHandlers handlers;
    handlers.started = [&](int rate) { heard.rate = rate; };
    handlers.audio = [&](const QByteArray &pcm) { heard.samples += pcm.size() / 2; };
    handlers.mark = [&](const QString &name, qint64 sample) { heard.marks.append({name, sample}); };
    handlers.ended = [&](const SpeechError &error) {
        heard.error = error.message;
        heard.ended = true;
    };
    engine.preview(request, handlers);
    static_cast<void>(QTest::qWaitFor([&] { return heard.ended; }, 60000));
    return heard;
}

} // namespace

class TestSpeechTiming : public QObject {
    Q_OBJECT
private slots:
    void words_data();
    void words();
    void marked_data();
    void marked();
    void sparseMarksForTheCloudLimit();
    void offlineWordPositions();
};

void TestSpeechTiming::words_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("punctuation left out")
        << QStringLiteral("Hello, world!") << QStringList{"Hello", "world"};
    QTest::newRow("pause glyph between words")
        << QStringLiteral("Wait\u23F8now") << QStringList{"Wait", "now"};
    QTest::newRow("emoji are not words")
        << QStringLiteral("I \u2764\uFE0F \U0001F600 tea") << QStringList{"I", "tea"};
    QTest::newRow("apostrophe and decimals stay inside")
        << QStringLiteral("don't pay 3.50 now") << QStringList{"don't", "pay", "3.50", "now"};
    QTest::newRow("letters outside the basic plane")
        << QStringLiteral("\U0001D400bc de") << QStringList{"\U0001D400bc", "de"};
    QTest::newRow("accents and other scripts")
        << QStringLiteral("café Привет") << QStringList{"café", "Привет"};
    QTest::newRow("nothing to say") << QStringLiteral(" \u23F8 … ") << QStringList{};
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
    QTest::newRow("plain text becomes SSML")
        << QStringLiteral("Hi you") << EffectsArray{}
        << QStringLiteral("<speak><mark name='w0'/>Hi <mark name='w1'/>you</speak>");
    QTest::newRow("mark before the element that starts at a word")
        << QStringLiteral("Hello world") << EffectsArray{span(6, 11)}
        << QStringLiteral("<speak><mark name='w0'/>Hello <mark name='w1'/>"
                          "<emphasis level='strong'>world</emphasis></speak>");
    QTest::newRow("marks inside emphasis")
        << QStringLiteral("a big dog") << EffectsArray{span(0, 9)}
        << QStringLiteral("<speak><mark name='w0'/><emphasis level='strong'>a <mark name='w1'/>"
                          "big <mark name='w2'/>dog</emphasis></speak>");
    QTest::newRow("no mark inside say-as or sub")
        << QStringLiteral("at 10 30 go") << EffectsArray{span(3, 8, "Sub", "half past ten")}
        << QStringLiteral("<speak><mark name='w0'/>at <mark name='w1'/><sub alias='half past "
                          "ten'>10 30</sub> <mark name='w3'/>go</speak>");
    QTest::newRow("pause and emoji")
        << QStringLiteral("Wait\u23F8 \U0001F600 now") << EffectsArray{span(4, 5, "Break", "2")}
        << QStringLiteral("<speak><mark name='w0'/>Wait<break time='2s' /> \U0001F600 "
                          "<mark name='w1'/>now</speak>");
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

// Every mark eSpeak reports stands for a word of the editor's text, in order,
// and a pause shows between the words around it.
void TestSpeechTiming::offlineWordPositions() {
    ConversionInput input;
    input.voice = QStringLiteral("en-US-Standard-B");
    input.text = QStringLiteral("Say \U0001F600 it loud\u23F8 and on 10/09/1960, café time.");
    input.spans = {span(7, 9), span(10, 14, "Volume", "loud"), span(14, 15, "Break", "2"),
                   span(23, 33, "Date", "dmy")};
    QList<TextRange> units;
    const QJsonObject request = markedRequest(input, 0, &units);
    OfflineSpeechEngine engine;
    const Heard heard = preview(engine, request);
    QVERIFY2(heard.error.isEmpty(), qPrintable(heard.error));
    QVERIFY(heard.samples > heard.rate * 3);

    const QList<TextRange> words = wordsOf(input.text);
    QStringList spoken;
    qint64 previous = -1;
    qint64 beforePause = -1;
    for (const auto &[name, sample] : heard.marks) {
        const int index = markIndex(name);
        QVERIFY2(index >= 0 && index < units.size(), qPrintable(name));
        QVERIFY(words.contains(units.at(index)));
        QVERIFY(sample >= previous && sample < heard.samples);
        const QString word = input.text.mid(units.at(index).location, units.at(index).length);
        if (word == QLatin1String("and"))
            QVERIFY2(sample - beforePause > heard.rate * 2, "the pause lies between loud and and");
        if (word == QLatin1String("loud"))
            beforePause = sample;
        spoken << word;
        previous = sample;
    }
    // The date's inner numbers have no mark: the mark before the element stands for them.
    QCOMPARE(spoken, (QStringList{"Say", "it", "loud", "and", "on", "10", "café", "time"}));
}

QTEST_GUILESS_MAIN(TestSpeechTiming)
#include "tst_speechtiming.moc"
