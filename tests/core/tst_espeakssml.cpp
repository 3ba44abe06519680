#include "SpanBuilders.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/offline/EspeakSsmlTranslator.h"

#include <QRandomGenerator>
#include <QTest>
#include <QXmlStreamReader>

using namespace parlino;

namespace {

const QString glyph = QString(QChar(pauseGlyph));
const QString en = QStringLiteral("en-US");

// A null expected document means the input is refused as unreadable.
void row(const char *name, const QString &language, bool isSsml, const QString &input,
         const QString &expected, int silenceMs = 0, int bleeps = 0) {
    QTest::newRow(name) << language << isSsml << input << expected << silenceMs << bleeps;
}

QString speak(const QString &body) {
    return body.isNull() ? QString()
                         : QStringLiteral("<speak>") + body + QStringLiteral("</speak>");
}

void text(const char *name, const QString &input, const QString &expected, int silenceMs = 0) {
    row(name, en, false, input, speak(expected), silenceMs);
}

// SSML rows give the bodies of the <speak> documents.
void ssml(const char *name, const QString &input, const QString &expected, int silenceMs = 0,
          int bleeps = 0) {
    row(name, en, true, speak(input), speak(expected), silenceMs, bleeps);
}

void ssmlIn(const char *name, const QString &language, const QString &input,
            const QString &expected) {
    row(name, language, true, speak(input), speak(expected));
}

const QString bleep = QStringLiteral(R"(<mark name="parlino-bleep-on"/><prosody volume="silent">)"
                                     R"(%1</prosody><mark name="parlino-bleep-off"/>)");

} // namespace

class TestEspeakSsml : public QObject {
    Q_OBJECT
private slots:
    void translate_data();
    void translate();
    void assemblyOutputTranslatesToWellFormedSsml();
    void pausesStretchedInFastMode_data();
    void pausesStretchedInFastMode();
};

void TestEspeakSsml::translate_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("isSsml");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("silenceMs"); // leading pause, which eSpeak would drop
    QTest::addColumn<int>("bleeps");

    text("plain text is escaped", "a < b & c", "a &lt; b &amp; c");
    text("empty text", "", "");
    text("pause glyph in plain text", "Wait" + glyph + "now", R"(Wait<break time="1000ms"/>now)");
    text("glyphs in a row are one pause", "a" + glyph + glyph + " " + glyph + "b",
         R"(a<break time="3000ms"/> b)");
    text("only glyphs", glyph + glyph, "", 2000);
    text("control characters dropped", "a\x01z", "az");

    ssml("emphasis re-quoted", "Hello <emphasis level='strong'>world</emphasis>",
         R"(Hello <emphasis level="strong">world</emphasis>)");
    ssml("unknown emphasis level dropped", "<emphasis level='loudest'>a</emphasis>",
         "<emphasis>a</emphasis>");
    ssml("break in seconds to milliseconds", "a<break time='2s' />b",
         R"(a<break time="2000ms"/>b)");
    ssml("fractional seconds", "a<break time='0.5s' />b", R"(a<break time="500ms"/>b)");
    ssml("decimal comma", "a<break time='1,5s' />b", R"(a<break time="1500ms"/>b)");
    ssml("milliseconds kept", "a<break time='250ms'/>b", R"(a<break time="250ms"/>b)");
    ssml("adjacent breaks add up", "a<break time='2s' /><break time='2s' />b",
         R"(a<break time="4000ms"/>b)");
    ssml("breaks apart by spaces add up", "a <break time='1s' /> <break time='1s' /> b",
         R"(a <break time="2000ms"/>  b)");
    ssml("breaks across a closing tag add up",
         "<emphasis level='strong'>a<break time='1s' /></emphasis><break time='1s' />b",
         R"(<emphasis level="strong">a</emphasis><break time="2000ms"/>b)");
    ssml("break and glyph add up", "a<break time='2s' />" + glyph + "b",
         R"(a<break time="3000ms"/>b)");
    ssml("long break clamped", "a<break time='1000s' />b", R"(a<break time="60000ms"/>b)");
    ssml("huge adjacent breaks saturate at the cap",
         "a" + QString("<break time='1000000s' />").repeated(3) + "b",
         R"(a<break time="60000ms"/>b)");
    ssml("forty thousand huge breaks saturate at the cap",
         "a" + QString("<break time='1000000s'/>").repeated(40000) + "b",
         R"(a<break time="60000ms"/>b)");
    ssml("huge breaks before the text saturate at the cap",
         QString("<break time='1000000s' />").repeated(3) + "Hi", "Hi", 60000);
    ssml("break by strength", "a<break strength='x-strong'/>b", R"(a<break time="670ms"/>b)");
    ssml("unreadable break time", "a<break time='s' />b", R"(a<break time="230ms"/>b)");
    ssml("break at the end", "a<break time='3s' />", R"(a<break time="3000ms"/>)");
    ssml("break before the text", "<break time='2s'/>Hi", "Hi", 2000);
    ssml("break inside an element before the text", "<emphasis><break time='1s'/>Hi</emphasis>",
         "<emphasis>Hi</emphasis>", 1000);
    ssml("only breaks", "<break time='1s'/>" + glyph, "", 2000);
    ssml("long leading pause clamped", "<break time='100s'/><break time='100s'/>Hi", "Hi", 60000);

    ssml("verbatim to characters", "<say-as interpret-as='verbatim'>abc</say-as>",
         R"(<say-as interpret-as="characters">abc</say-as>)");
    ssml("spell-out to characters", "<say-as interpret-as='spell-out'>42</say-as>",
         R"(<say-as interpret-as="characters">42</say-as>)");
    ssml("cardinal left to eSpeak", "<say-as interpret-as='cardinal'>12345</say-as>", "12345");
    ssml("expletives between bleep marks",
         "a <say-as interpret-as='expletive'>damn</say-as> <say-as "
         "interpret-as='expletive'>b</say-as>",
         "a " + bleep.arg("damn") + " " + bleep.arg("b"), 0, 2);
    ssml("empty expletive", "a<say-as interpret-as='expletive'> </say-as>", "a");
    ssml("date dmy, en-US", "<say-as interpret-as='date' format='dmy'>10-09-1960</say-as>",
         "September 10th, 19 60");
    ssmlIn("date yyyymmdd, en-GB", "en-GB",
           "<say-as interpret-as='date' format='yyyymmdd'>19600910</say-as>",
           "the 10th of September 19 60");
    ssmlIn("date dm, de-DE", "de-DE", "<say-as interpret-as='date' format='dm'>3.10.</say-as>",
           "dritter Oktober");
    ssml("not a date read as written", "<say-as interpret-as='date' format='dmy'>soon</say-as>",
         "soon");
    ssml("time, en-US", "at <say-as interpret-as='time' format='hms12'>2:05 PM</say-as>",
         "at 2 oh 5 p m");
    ssml("time hms24, en-US", "at <say-as interpret-as='time' format='hms24'>14:05</say-as>",
         "at 14 oh 5");
    ssml("date mdy, en-US", "<say-as interpret-as='date' format='mdy'>10/12/2024</say-as>",
         "October 12th, 20 24");
    ssml("date ymd, en-US", "<say-as interpret-as='date' format='ymd'>2024-10-12</say-as>",
         "October 12th, 20 24");
    ssmlIn("time hms24, es-ES", "es-ES",
           "<say-as interpret-as='time' format='hms24'>14:30</say-as>", "las 14 y 30");
    ssml("ordinal, en-US", "<say-as interpret-as='ordinal'>3</say-as>", "3rd");
    ssml("fraction, en-US", "<say-as interpret-as='fraction'>3/4</say-as>", "3 quarters");
    ssml("say-as over nested markup reads its text",
         "<say-as interpret-as='ordinal'><emphasis level='strong'>2</emphasis></say-as>", "2nd");

    ssml("alias entities decoded", "<sub alias='a &amp; b'>x</sub>", "a &amp; b");
    ssml("empty alias says nothing", "a<sub alias=''>x</sub>", "a");
    ssml("volume keyword re-quoted", "<prosody volume='x-loud'>a</prosody>",
         R"(<prosody volume="x-loud">a</prosody>)");
    ssml("volume in dB to percent", "<prosody volume='+6dB'>a</prosody>",
         R"(<prosody volume="200%">a</prosody>)");
    ssml("unusable volume dropped", "<prosody volume='very'>a</prosody>", "a");
    ssml("character references", "caf&#233; &#xE9;", "café é");
    ssmlIn("kanji skipped for Japanese", "ja-JP", "今日は良い天気です。𠮷々", "はいです。\n");
    ssmlIn("kanji kept for other languages", "en-US", "天気", "天気");
    ssml("CDATA becomes text", "<![CDATA[a < b]]>", "a &lt; b");

    ssml("full stop after a closing tag", "<emphasis level='strong'>dog</emphasis>.",
         "<emphasis level=\"strong\">dog</emphasis>.\n");
    ssml("full stop and space before a tag", "<emphasis>a</emphasis>. <emphasis>b</emphasis>",
         "<emphasis>a</emphasis>. \n<emphasis>b</emphasis>");
    ssml("question mark before a break", "Why?<break time='1s'/>So.",
         "Why?\n<break time=\"1000ms\"/>So.\n");
    ssml("decimal point is not sentence punctuation", "1.5 <emphasis>x</emphasis>",
         "1.5 <emphasis>x</emphasis>");

    row("language of speak dropped", en, true, "<speak xml:lang='en-GB'>hi</speak>", speak("hi"));
    ssml("unknown element keeps its text", "<voice name='x'>hi</voice> <bogus>there</bogus>",
         "hi there");
    ssml("user mark re-quoted", "a<mark name='b1'/>b", R"(a<mark name="b1"/>b)");
    ssml("reserved mark names dropped", "a<mark name='parlino-bleep-on'/>b", "ab");
    ssml("paragraphs kept", "<p>a</p><p>b</p>", "<p>a</p><p>b</p>");
    row("root other than speak", en, true, "<emphasis>a</emphasis>",
        speak("<emphasis>a</emphasis>"));

    ssml("unclosed element", "<emphasis>a", QString());
    ssml("unknown entity", "&bogus;", QString());
    ssml("raw ampersand", "a & b", QString());
    row("two roots", en, true, "<speak>a</speak><speak>b</speak>", QString());
    row("not XML", en, true, "<", QString());
}

void TestEspeakSsml::translate() {
    QFETCH(QString, language);
    QFETCH(bool, isSsml);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(int, silenceMs);
    QFETCH(int, bleeps);
    const EspeakDocument document = EspeakSsmlTranslator::translate(input, isSsml, language);
    if (expected.isNull()) {
        QVERIFY(!document.isValid());
        QVERIFY(document.ssml.isEmpty());
        QVERIFY(document.error.startsWith(QLatin1String("The SSML could not be read")));
        return;
    }
    QVERIFY2(document.isValid(), qPrintable(document.error));
    QCOMPARE(document.ssml, expected);
    QCOMPARE(document.leadingSilenceMs, silenceMs);
    QCOMPARE(document.bleeps, bleeps);
}

void TestEspeakSsml::pausesStretchedInFastMode_data() {
    QTest::addColumn<int>("wordsPerMinute");
    QTest::addColumn<QString>("expected");
    QTest::newRow("normal") << 175 << R"(<break time="2000ms"/>)";
    QTest::newRow("just below fast mode") << 449 << R"(<break time="2000ms"/>)";
    QTest::newRow("fast mode begins") << 450 << R"(<break time="5143ms"/>)";
    QTest::newRow("fastest") << 700 << R"(<break time="8000ms"/>)";
    QTest::newRow("the cap, stretched") << 700 << R"(<break time="240000ms"/>)";
}

// From 450 words per minute eSpeak shortens pauses by the rate over 175;
// they are written longer by as much. Pauses before the text are silence
// the engine adds itself and stay as they are.
void TestEspeakSsml::pausesStretchedInFastMode() {
    QFETCH(int, wordsPerMinute);
    QFETCH(QString, expected);
    const QString length = expected.contains("240000") ? "600s" : "2s";
    const EspeakDocument document = EspeakSsmlTranslator::translate(
        "<speak><break time='" + length + "'/>a<break time='" + length + "'/>b</speak>", true, en,
        wordsPerMinute);
    QCOMPARE(document.ssml, "<speak>a" + expected + "b</speak>");
    QCOMPARE(document.leadingSilenceMs, length == "2s" ? 2000 : 60000);
}

// Whatever the editor assembles, eSpeak gets a well-formed document that keeps
// every letter and digit of the text (say-as readings aside).
void TestEspeakSsml::assemblyOutputTranslatesToWellFormedSsml() {
    QStringList pieces = QString("ab <>&'\".\n7/\u00e9").split(QString(), Qt::SkipEmptyParts);
    pieces << glyph << QStringLiteral("\U0001F600");
    const QStringList values{"strong", "x & y", "verbatim", "expletive", "x-loud", "+6dB",
                             "dmy",    "2",     "0.5",      "",          glyph};
    const QStringList names{"Emphasis", "Say as", "Volume", "Time", "Sub", "Break"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int count = random.bounded(0, 30);
        for (int i = 0; i < count; ++i)
            text += pieces.at(random.bounded(int(pieces.size())));
        EffectsArray spans;
        const int spanCount = random.bounded(1, 7);
        for (int i = 0; i < spanCount; ++i) {
            const qint64 a = random.bounded(int(text.size()) + 1);
            const qint64 b = random.bounded(int(text.size()) + 1);
            spans << span(qMin(a, b), qMax(a, b), names.at(random.bounded(int(names.size()))),
                          values.at(random.bounded(int(values.size()))));
        }
        const QString ssml = assembleSsml(text, spans);
        const EspeakDocument document =
            EspeakSsmlTranslator::translate(ssml, true, QStringLiteral("en-US"));
        QVERIFY2(document.isValid(), qPrintable(document.error + " in " + ssml));
        QXmlStreamReader reader(document.ssml);
        QString characters;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::Characters)
                characters += reader.text();
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString() + " in " + document.ssml));
        QVERIFY2(!document.ssml.contains(glyph), qPrintable(document.ssml));
        QVERIFY2(!document.ssml.contains(QLatin1Char('\'')) ||
                     !document.ssml.contains(QLatin1String("='")),
                 qPrintable(document.ssml));
        // Sub spans replace their text; without them every letter is still there.
        bool hasSub = false;
        for (const SSMLCharactersModel &s : spans)
            hasSub = hasSub || s.effects == QLatin1String("Sub");
        if (!hasSub) {
            for (const QChar c : text) {
                if (c.isLetter())
                    QVERIFY2(characters.contains(c), qPrintable(document.ssml));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestEspeakSsml)
#include "tst_espeakssml.moc"
