#include "SpanBuilders.h"
#include "synthesis/SsmlAssembly.h"

#include <QRandomGenerator>
#include <QTest>
#include <QXmlStreamReader>

using namespace parlino;

namespace {

const QString glyph = QString(QChar(pauseGlyph));

struct Parsed {
    bool ok = false;
    QString error;
    QString characters;
    QStringList breaks; // time attributes, in document order
};

Parsed parse(const QString &document) {
    Parsed result;
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isCharacters())
            result.characters += reader.text();
        else if (reader.isStartElement() && reader.name() == QLatin1String("break"))
            result.breaks << reader.attributes().value(QLatin1String("time")).toString();
    }
    result.ok = !reader.hasError();
    result.error = reader.errorString();
    return result;
}

} // namespace

class TestSsmlAssembly : public QObject {
    Q_OBJECT
private slots:
    void assemble_data();
    void assemble();
    void randomDocumentsAreWellFormed();
};

void TestSsmlAssembly::assemble_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no spans: plain text") << "Hello world" << EffectsArray{} << "Hello world";
    QTest::newRow("no spans: sent unescaped") << "a < b & c" << EffectsArray{} << "a < b & c";
    QTest::newRow("no spans: pause glyph stays")
        << "Wait" + glyph + "now" << EffectsArray{} << "Wait" + glyph + "now";
    QTest::newRow("emphasis over world")
        << "Hello world" << EffectsArray{span(6, 11)}
        << "<speak>Hello <emphasis level='strong'>world</emphasis></speak>";
    QTest::newRow("only the marked occurrence")
        << "no means no" << EffectsArray{span(0, 2)}
        << "<speak><emphasis level='strong'>no</emphasis> means no</speak>";
    QTest::newRow("time ignores its value")
        << "at 10:30" << EffectsArray{span(3, 8, "Time", "anything")}
        << "<speak>at <say-as interpret-as='time' format='hms12'>10:30</say-as></speak>";
    QTest::newRow("time on the 24-hour clock")
        << "at 14:30" << EffectsArray{span(3, 8, "Time", "hms24")}
        << "<speak>at <say-as interpret-as='time' format='hms24'>14:30</say-as></speak>";
    QTest::newRow("date mdy")
        << "on 10/12/2024" << EffectsArray{span(3, 13, "Date", "mdy")}
        << "<speak>on <say-as interpret-as='date' format='mdy'>10/12/2024</say-as></speak>";
    QTest::newRow("date ymd")
        << "on 2024-10-12" << EffectsArray{span(3, 13, "Date", "ymd")}
        << "<speak>on <say-as interpret-as='date' format='ymd'>2024-10-12</say-as></speak>";
    QTest::newRow("say as") << "abc" << EffectsArray{span(0, 3, "Say as", "verbatim")}
                            << "<speak><say-as interpret-as='verbatim'>abc</say-as></speak>";
    QTest::newRow("volume") << "abc" << EffectsArray{span(0, 3, "Volume", "x-loud")}
                            << "<speak><prosody volume='x-loud'>abc</prosody></speak>";
    QTest::newRow("date")
        << "on 10-09-1960" << EffectsArray{span(3, 13, "Date", "dmy")}
        << "<speak>on <say-as interpret-as='date' format='dmy'>10-09-1960</say-as></speak>";
    QTest::newRow("sub") << "WHO said" << EffectsArray{span(0, 3, "Sub", "World Health")}
                         << "<speak><sub alias='World Health'>WHO</sub> said</speak>";
    QTest::newRow("pause") << "Wait" + glyph + "now" << EffectsArray{span(4, 5, "Break", "2")}
                           << "<speak>Wait<break time='2s' />now</speak>";
    QTest::newRow("each pause its own length")
        << "a" + glyph + "b" + glyph + "c"
        << EffectsArray{span(1, 2, "Break", "2"), span(3, 4, "Break", "0.5")}
        << "<speak>a<break time='2s' />b<break time='0.5s' />c</speak>";
    QTest::newRow("glyph without its own span takes the first break's length")
        << glyph + "a" + glyph << EffectsArray{span(2, 3, "Break", "3"), span(0, 0, "Sub", "x")}
        << "<speak><break time='3s' />a<break time='3s' /></speak>";
    QTest::newRow("glyph with no break span at all stays")
        << "a" + glyph << EffectsArray{span(0, 1, "Sub", "x")}
        << "<speak><sub alias='x'>a</sub>" + glyph + "</speak>";
    QTest::newRow("empty span still wraps in speak")
        << "Hello" << EffectsArray{span(2, 2)} << "<speak>Hello</speak>";
    QTest::newRow("unknown kind skipped")
        << "Hello" << EffectsArray{span(0, 5, "emphasis")} << "<speak>Hello</speak>";
    QTest::newRow("span past the end skipped")
        << "Hello" << EffectsArray{span(3, 9), span(0, 1, "Sub", "h")}
        << "<speak><sub alias='h'>H</sub>ello</speak>";
    QTest::newRow("negative location skipped")
        << "Hello" << EffectsArray{span(-1, 2)} << "<speak>Hello</speak>";
    QTest::newRow("containing span outside, whatever the list order")
        << "Hello world" << EffectsArray{span(6, 11), span(0, 11, "Volume", "loud")}
        << "<speak><prosody volume='loud'>Hello <emphasis level='strong'>world</emphasis>"
           "</prosody></speak>";
    QTest::newRow("same start: longer outside")
        << "Hello world" << EffectsArray{span(0, 5), span(0, 11, "Volume", "loud")}
        << "<speak><prosody volume='loud'><emphasis level='strong'>Hello</emphasis> world"
           "</prosody></speak>";
    QTest::newRow("identical ranges: earlier in the list outside")
        << "abc" << EffectsArray{span(0, 3, "Volume", "loud"), span(0, 3)}
        << "<speak><prosody volume='loud'><emphasis level='strong'>abc</emphasis>"
           "</prosody></speak>";
    QTest::newRow("crossing ranges are split")
        << "abcdefgh" << EffectsArray{span(0, 5), span(3, 8, "Volume", "soft")}
        << "<speak><emphasis level='strong'>abc<prosody volume='soft'>de</prosody></emphasis>"
           "<prosody volume='soft'>fgh</prosody></speak>";
    QTest::newRow("markup of one span never rewritten by another")
        << "Hello" << EffectsArray{span(0, 5), span(1, 2, "Sub", "e")}
        << "<speak><emphasis level='strong'>H<sub alias='e'>e</sub>llo</emphasis></speak>";
    QTest::newRow("adjacent spans stay apart")
        << "abcd" << EffectsArray{span(0, 2), span(2, 4)}
        << "<speak><emphasis level='strong'>ab</emphasis><emphasis level='strong'>cd</emphasis>"
           "</speak>";
    QTest::newRow("text escaped")
        << "a<b & c>d" << EffectsArray{span(0, 1)}
        << "<speak><emphasis level='strong'>a</emphasis>&lt;b &amp; c&gt;d</speak>";
    QTest::newRow("values escaped")
        << "AT&T" << EffectsArray{span(0, 4, "Sub", "a 't' & <x>")}
        << "<speak><sub alias='a &apos;t&apos; &amp; &lt;x&gt;'>AT&amp;T</sub></speak>";
    QTest::newRow("characters XML cannot carry are dropped")
        << QStringLiteral("a\u0001b\u000Cc") << EffectsArray{span(0, 1)}
        << "<speak><emphasis level='strong'>a</emphasis>bc</speak>";
    QTest::newRow("span edge inside an emoji moves outwards")
        << QStringLiteral("x\U0001F600y") << EffectsArray{span(2, 4)}
        << QStringLiteral("<speak>x<emphasis level='strong'>\U0001F600y</emphasis></speak>");
}

void TestSsmlAssembly::assemble() {
    QFETCH(QString, text);
    QFETCH(EffectsArray, spans);
    QFETCH(QString, expected);
    const QString ssml = assembleSsml(text, spans);
    QCOMPARE(ssml, expected);
    if (!spans.isEmpty())
        QVERIFY2(parse(ssml).ok, qPrintable(parse(ssml).error));
}

// Random texts full of markup characters and random span lists: every
// document parses, and its character content is the text less the pause
// glyphs that became breaks.
void TestSsmlAssembly::randomDocumentsAreWellFormed() {
    const QStringList pieces{"a",
                             "b",
                             " ",
                             "<",
                             ">",
                             "&",
                             "'",
                             "\"",
                             "\n",
                             "\r",
                             glyph,
                             QStringLiteral("\U0001F600"),
                             QStringLiteral("\u00e9"),
                             "&amp;"};
    const QStringList values{"strong", "x & y", "<b>", "it's", "\"q\"", "2", "", glyph};
    const QStringList names{"Emphasis", "Say as", "Volume", "Date",
                            "Time",     "Sub",    "Break",  "Bogus"};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 4000; ++round) {
        QString text;
        const int count = random.bounded(0, 30);
        for (int i = 0; i < count; ++i)
            text += pieces.at(random.bounded(int(pieces.size())));
        EffectsArray spans;
        const int spanCount = random.bounded(1, 7);
        bool hasBreak = false;
        for (int i = 0; i < spanCount; ++i) {
            const qint64 a = random.bounded(int(text.size()) + 1);
            const qint64 b = random.bounded(int(text.size()) + 1);
            const QString name = names.at(random.bounded(int(names.size())));
            hasBreak = hasBreak || name == QLatin1String("Break");
            spans << span(qMin(a, b), qMax(a, b), name,
                          values.at(random.bounded(int(values.size()))));
        }
        const QString ssml = assembleSsml(text, spans);
        const Parsed parsed = parse(ssml);
        QVERIFY2(parsed.ok, qPrintable(parsed.error + QStringLiteral(" in ") + ssml));
        QString expected = text;
        if (hasBreak) {
            QCOMPARE(parsed.breaks.size(), text.count(glyph));
            expected.remove(glyph);
        }
        QCOMPARE(parsed.characters, expected);
    }
}

QTEST_GUILESS_MAIN(TestSsmlAssembly)
#include "tst_ssmlassembly.moc"
