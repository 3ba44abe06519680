#include "SpanBuilders.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/offline/EspeakSsmlTranslator.h"

#include <QRandomGenerator>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString glyph = QString(QChar(pauseGlyph));

QString speak(const QString &body) {
    return QStringLiteral("<speak>") + body + QStringLiteral("</speak>");
}

const QString bleep = QStringLiteral("<mark name=\"parlino-bleep-on\"/><prosody volume=\"silent\">"
                                     "%1</prosody><mark name=\"parlino-bleep-off\"/>");

} // namespace

class TestEspeakSsml : public QObject {
    Q_OBJECT
private slots:
    void translate_data();
    void translate();
    void unreadableInputIsAnError_data();
    void unreadableInputIsAnError();
    void expletivesAreCounted();
    void leadingPausesBecomeSilence_data();
    void leadingPausesBecomeSilence();
    void assemblyOutputTranslatesToWellFormedSsml();
};

void TestEspeakSsml::translate_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("isSsml");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QString en = QStringLiteral("en-US");
    // Plain text
    QTest::newRow("plain text is wrapped") << en << false << "Hello world" << speak("Hello world");
    QTest::newRow("plain text is escaped")
        << en << false << "a < b & c" << speak("a &lt; b &amp; c");
    QTest::newRow("empty text") << en << false << "" << speak("");
    QTest::newRow("pause glyph in plain text")
        << en << false << "Wait" + glyph + "now" << speak("Wait<break time=\"1000ms\"/>now");
    QTest::newRow("glyphs in a row are one pause")
        << en << false << "a" + glyph + glyph + " " + glyph + "b"
        << speak("a<break time=\"3000ms\"/> b");
    QTest::newRow("only glyphs") << en << false << glyph + glyph << speak("");
    QTest::newRow("control characters dropped") << en << false << "a\x01z" << speak("az");

    // Attributes and breaks
    QTest::newRow("emphasis re-quoted")
        << en << true << "<speak>Hello <emphasis level='strong'>world</emphasis></speak>"
        << speak("Hello <emphasis level=\"strong\">world</emphasis>");
    QTest::newRow("unknown emphasis level dropped")
        << en << true << "<speak><emphasis level='loudest'>a</emphasis></speak>"
        << speak("<emphasis>a</emphasis>");
    QTest::newRow("break in seconds to milliseconds")
        << en << true << "<speak>Wait<break time='2s' />now</speak>"
        << speak("Wait<break time=\"2000ms\"/>now");
    QTest::newRow("fractional seconds") << en << true << "<speak>a<break time='0.5s' />b</speak>"
                                        << speak("a<break time=\"500ms\"/>b");
    QTest::newRow("decimal comma") << en << true << "<speak>a<break time='1,5s' />b</speak>"
                                   << speak("a<break time=\"1500ms\"/>b");
    QTest::newRow("milliseconds kept") << en << true << "<speak>a<break time='250ms'/>b</speak>"
                                       << speak("a<break time=\"250ms\"/>b");
    QTest::newRow("adjacent breaks add up")
        << en << true << "<speak>a<break time='2s' /><break time='2s' />b</speak>"
        << speak("a<break time=\"4000ms\"/>b");
    QTest::newRow("breaks apart by spaces add up")
        << en << true << "<speak>a <break time='1s' /> <break time='1s' /> b</speak>"
        << speak("a <break time=\"2000ms\"/>  b");
    QTest::newRow("breaks across a closing tag add up")
        << en << true
        << "<speak><emphasis level='strong'>a<break time='1s' /></emphasis><break time='1s' "
           "/>b</speak>"
        << speak("<emphasis level=\"strong\">a</emphasis><break time=\"2000ms\"/>b");
    QTest::newRow("break and glyph add up")
        << en << true << "<speak>a<break time='2s' />" + glyph + "b</speak>"
        << speak("a<break time=\"3000ms\"/>b");
    QTest::newRow("long break clamped") << en << true << "<speak>a<break time='1000s' />b</speak>"
                                        << speak("a<break time=\"60000ms\"/>b");
    QTest::newRow("break by strength")
        << en << true << "<speak>a<break strength='x-strong'/>b</speak>"
        << speak("a<break time=\"670ms\"/>b");
    QTest::newRow("unreadable break time") << en << true << "<speak>a<break time='s' />b</speak>"
                                           << speak("a<break time=\"230ms\"/>b");
    QTest::newRow("break at the end") << en << true << "<speak>a<break time='3s' /></speak>"
                                      << speak("a<break time=\"3000ms\"/>");

    // Say-as
    QTest::newRow("verbatim to characters")
        << en << true << "<speak><say-as interpret-as='verbatim'>abc</say-as></speak>"
        << speak("<say-as interpret-as=\"characters\">abc</say-as>");
    QTest::newRow("spell-out to characters")
        << en << true << "<speak><say-as interpret-as='spell-out'>42</say-as></speak>"
        << speak("<say-as interpret-as=\"characters\">42</say-as>");
    QTest::newRow("cardinal left to eSpeak")
        << en << true << "<speak><say-as interpret-as='cardinal'>12345</say-as></speak>"
        << speak("12345");
    QTest::newRow("expletive between bleep marks")
        << en << true << "<speak>a <say-as interpret-as='expletive'>damn</say-as> b</speak>"
        << speak("a " + bleep.arg("damn") + " b");
    QTest::newRow("empty expletive")
        << en << true << "<speak>a<say-as interpret-as='expletive'> </say-as></speak>"
        << speak("a");
    QTest::newRow("date dmy, en-US")
        << en << true
        << "<speak><say-as interpret-as='date' format='dmy'>10-09-1960</say-as></speak>"
        << speak("September 10th, 19 60");
    QTest::newRow("date yyyymmdd, en-GB")
        << "en-GB" << true
        << "<speak><say-as interpret-as='date' format='yyyymmdd'>19600910</say-as></speak>"
        << speak("the 10th of September 19 60");
    QTest::newRow("date dm, de-DE")
        << "de-DE" << true
        << "<speak><say-as interpret-as='date' format='dm'>3.10.</say-as></speak>"
        << speak("dritter Oktober");
    QTest::newRow("not a date read as written")
        << en << true << "<speak><say-as interpret-as='date' format='dmy'>soon</say-as></speak>"
        << speak("soon");
    QTest::newRow("time, en-US")
        << en << true
        << "<speak>at <say-as interpret-as='time' format='hms12'>2:05 PM</say-as></speak>"
        << speak("at 2 oh 5 p m");
    QTest::newRow("ordinal, en-US")
        << en << true << "<speak><say-as interpret-as='ordinal'>3</say-as></speak>" << speak("3rd");
    QTest::newRow("fraction, en-US")
        << en << true << "<speak><say-as interpret-as='fraction'>3/4</say-as></speak>"
        << speak("3 quarters");
    QTest::newRow("say-as over nested markup reads its text")
        << en << true
        << "<speak><say-as interpret-as='ordinal'><emphasis level='strong'>2</emphasis>"
           "</say-as></speak>"
        << speak("2nd");

    // Sub, prosody, entities
    QTest::newRow("alias entities decoded")
        << en << true << "<speak><sub alias='a &amp; b'>x</sub></speak>" << speak("a &amp; b");
    QTest::newRow("alias with a quote")
        << en << true << "<speak><sub alias='it&apos;s'>x</sub></speak>" << speak("it's");
    QTest::newRow("empty alias says nothing")
        << en << true << "<speak>a<sub alias=''>x</sub></speak>" << speak("a");
    QTest::newRow("volume keyword re-quoted")
        << en << true << "<speak><prosody volume='x-loud'>a</prosody></speak>"
        << speak("<prosody volume=\"x-loud\">a</prosody>");
    QTest::newRow("volume +6dB to percent")
        << en << true << "<speak><prosody volume='+6dB'>a</prosody></speak>"
        << speak("<prosody volume=\"200%\">a</prosody>");
    QTest::newRow("volume -6dB to percent")
        << en << true << "<speak><prosody volume='-6dB'>a</prosody></speak>"
        << speak("<prosody volume=\"50%\">a</prosody>");
    QTest::newRow("unusable volume dropped")
        << en << true << "<speak><prosody volume='very'>a</prosody></speak>" << speak("a");
    QTest::newRow("character references")
        << en << true << "<speak>caf&#233; &#xE9;</speak>" << speak("café é");
    QTest::newRow("CDATA becomes text")
        << en << true << "<speak><![CDATA[a < b]]></speak>" << speak("a &lt; b");

    // Punctuation before tags
    QTest::newRow("full stop after a closing tag")
        << en << true << "<speak><emphasis level='strong'>dog</emphasis>.</speak>"
        << speak("<emphasis level=\"strong\">dog</emphasis>.\n");
    QTest::newRow("full stop and space before a tag")
        << en << true << "<speak><emphasis>a</emphasis>. <emphasis>b</emphasis></speak>"
        << speak("<emphasis>a</emphasis>. \n<emphasis>b</emphasis>");
    QTest::newRow("question mark before a break")
        << en << true << "<speak>Why?<break time='1s'/>So.</speak>"
        << speak("Why?\n<break time=\"1000ms\"/>So.\n");
    QTest::newRow("decimal point is not sentence punctuation")
        << en << true << "<speak>1.5 <emphasis>x</emphasis></speak>"
        << speak("1.5 <emphasis>x</emphasis>");

    // Other elements
    QTest::newRow("language of speak dropped")
        << en << true << "<speak xml:lang='en-GB'>hi</speak>" << speak("hi");
    QTest::newRow("unknown element keeps its text")
        << en << true << "<speak><voice name='x'>hi</voice> <bogus>there</bogus></speak>"
        << speak("hi there");
    QTest::newRow("user mark re-quoted")
        << en << true << "<speak>a<mark name='b1'/>b</speak>" << speak("a<mark name=\"b1\"/>b");
    QTest::newRow("reserved mark names dropped")
        << en << true << "<speak>a<mark name='parlino-bleep-on'/>b</speak>" << speak("ab");
    QTest::newRow("paragraphs kept")
        << en << true << "<speak><p>a</p><p>b</p></speak>" << speak("<p>a</p><p>b</p>");
    QTest::newRow("glyph left in SSML")
        << en << true << "<speak>a" + glyph + "b</speak>" << speak("a<break time=\"1000ms\"/>b");
    QTest::newRow("root other than speak")
        << en << true << "<emphasis>a</emphasis>" << speak("<emphasis>a</emphasis>");
}

void TestEspeakSsml::translate() {
    QFETCH(QString, language);
    QFETCH(bool, isSsml);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const EspeakDocument document = EspeakSsmlTranslator::translate(input, isSsml, language);
    QVERIFY2(document.isValid(), qPrintable(document.error));
    QCOMPARE(document.ssml, expected);
}

void TestEspeakSsml::unreadableInputIsAnError_data() {
    QTest::addColumn<QString>("input");
    QTest::newRow("unclosed element") << "<speak><emphasis>a</speak>";
    QTest::newRow("unknown entity") << "<speak>&bogus;</speak>";
    QTest::newRow("raw ampersand") << "<speak>a & b</speak>";
    QTest::newRow("two roots") << "<speak>a</speak><speak>b</speak>";
    QTest::newRow("not XML") << "<";
}

void TestEspeakSsml::unreadableInputIsAnError() {
    QFETCH(QString, input);
    const EspeakDocument document =
        EspeakSsmlTranslator::translate(input, true, QStringLiteral("en-US"));
    QVERIFY(!document.isValid());
    QVERIFY(document.ssml.isEmpty());
    QVERIFY(document.error.startsWith(QLatin1String("The SSML could not be read")));
}

void TestEspeakSsml::expletivesAreCounted() {
    const EspeakDocument document = EspeakSsmlTranslator::translate(
        QStringLiteral("<speak><say-as interpret-as='expletive'>a</say-as> and "
                       "<say-as interpret-as='expletive'>b</say-as></speak>"),
        true, QStringLiteral("en-US"));
    QCOMPARE(document.bleeps, 2);
}

// eSpeak drops pauses before the first word, so they are handed back as silence.
void TestEspeakSsml::leadingPausesBecomeSilence_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("silenceMs");
    QTest::newRow("break before the text")
        << "<speak><break time='2s'/>Hi</speak>" << speak("Hi") << 2000;
    QTest::newRow("break inside an element before the text")
        << "<speak><emphasis><break time='1s'/>Hi</emphasis></speak>"
        << speak("<emphasis>Hi</emphasis>") << 1000;
    QTest::newRow("only breaks") << "<speak><break time='1s'/>" + glyph + "</speak>" << speak("")
                                 << 2000;
    QTest::newRow("break after text stays")
        << "<speak>Hi<break time='1s'/></speak>" << speak("Hi<break time=\"1000ms\"/>") << 0;
    QTest::newRow("long leading pause clamped")
        << "<speak><break time='100s'/><break time='100s'/>Hi</speak>" << speak("Hi") << 60000;
}

void TestEspeakSsml::leadingPausesBecomeSilence() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QFETCH(int, silenceMs);
    const EspeakDocument document =
        EspeakSsmlTranslator::translate(input, true, QStringLiteral("en-US"));
    QCOMPARE(document.ssml, expected);
    QCOMPARE(document.leadingSilenceMs, silenceMs);
}

// Whatever the editor assembles, eSpeak gets a well-formed document that keeps
// every letter and digit of the text (say-as readings aside).
void TestEspeakSsml::assemblyOutputTranslatesToWellFormedSsml() {
    const QStringList pieces{"a",
                             "b",
                             " ",
                             "<",
                             ">",
                             "&",
                             "'",
                             "\"",
                             ".",
                             "\n",
                             "7",
                             "/",
                             glyph,
                             QStringLiteral("\U0001F600"),
                             QStringLiteral("\u00e9")};
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
