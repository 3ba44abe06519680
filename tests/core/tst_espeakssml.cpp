#include "GoldenData.h"
#include "RandomDocuments.h"
#include "XmlContent.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/offline/EspeakSsmlTranslator.h"

#include <QJsonObject>
#include <QTest>

using namespace parlino;

class TestEspeakSsml : public QObject {
    Q_OBJECT
private slots:
    void translate_data();
    void translate();
    void assemblyOutputTranslatesToWellFormedSsml();
    void fortyThousandHugePausesSaturate();
    void pausesStretchedInFastMode_data();
    void pausesStretchedInFastMode();
};

// The cases of tests/data/espeak/translations.json: the input ("ssml" or
// plain "text") and what eSpeak gets, or "refused" for unreadable input; a
// leading pause (which eSpeak would drop) and the number of bleeps.
void TestEspeakSsml::translate_data() {
    QTest::addColumn<QJsonObject>("translation");
    const QJsonArray cases =
        goldenJsonArray(QStringLiteral(PARLINO_TEST_DATA "/espeak/translations.json"));
    QVERIFY(!cases.isEmpty());
    for (const QJsonValue &c : cases)
        QTest::newRow(qPrintable(c["name"].toString())) << c.toObject();
}

void TestEspeakSsml::translate() {
    QFETCH(QJsonObject, translation);
    const bool isSsml = translation.contains("ssml");
    const EspeakDocument document =
        EspeakSsmlTranslator::translate(translation.value(isSsml ? "ssml" : "text").toString(),
                                        isSsml, translation.value("language").toString());
    if (translation.value("refused").toBool()) {
        QVERIFY(document.ssml.isEmpty());
        QVERIFY(document.error.startsWith(QLatin1String("The SSML could not be read")));
        return;
    }
    QVERIFY2(document.isValid(), qPrintable(document.error));
    QCOMPARE(document.ssml, translation.value("expected").toString());
    QCOMPARE(document.leadingSilenceMs, translation.value("leadingSilenceMs").toInt());
    QCOMPARE(document.bleeps, translation.value("bleeps").toInt());
}

// Whatever the editor assembles, eSpeak gets a well-formed document with
// double-quoted attributes and no pause glyph that keeps every letter of the
// text (say-as readings aside, and sub, which replaces its text).
void TestEspeakSsml::assemblyOutputTranslatesToWellFormedSsml() {
    const QString glyph = QString(QChar(pauseGlyph));
    QStringList pieces = QString("ab <>&'\".\n7/\u00e9").split(QString(), Qt::SkipEmptyParts);
    pieces << glyph << QStringLiteral("\U0001F600");
    const QStringList values{"strong", "x & y", "verbatim", "expletive", "x-loud", "+6dB",
                             "dmy",    "2",     "0.5",      "",          glyph};
    const QStringList kinds{"Emphasis", "Say as", "Volume", "Time", "Sub", "Break"};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 3000; ++round) {
        const RandomDocument input = RandomDocument::make(random, pieces, kinds, values);
        const QString ssml = assembleSsml(input.text, input.spans);
        const EspeakDocument document = EspeakSsmlTranslator::translate(ssml, true, "en-US");
        QVERIFY2(document.isValid(), qPrintable(document.error + " in " + ssml));
        const XmlContent content = XmlContent::of(document.ssml);
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QVERIFY2(!document.ssml.contains(glyph) && !document.ssml.contains(QLatin1String("='")),
                 qPrintable(document.ssml));
        for (const QChar c : input.text) {
            if (c.isLetter() && !input.has("Sub"))
                QVERIFY2(content.characters.contains(c), qPrintable(document.ssml));
        }
    }
}

// Adding up pauses in a 32-bit int wrapped here; the sum saturates at the cap.
void TestEspeakSsml::fortyThousandHugePausesSaturate() {
    const EspeakDocument document = EspeakSsmlTranslator::translate(
        "<speak>a" + QString("<break time='1000000s'/>").repeated(40000) + "b</speak>", true,
        "en-US");
    QCOMPARE(document.ssml, QString(R"(<speak>a<break time="60000ms"/>b</speak>)"));
}

void TestEspeakSsml::pausesStretchedInFastMode_data() {
    QTest::addColumn<int>("wordsPerMinute");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("expected");
    QTest::newRow("normal") << 175 << "2s"
                            << R"(<break time="2000ms"/>)";
    QTest::newRow("just below fast mode") << 449 << "2s"
                                          << R"(<break time="2000ms"/>)";
    QTest::newRow("fast mode begins") << 450 << "2s"
                                      << R"(<break time="5143ms"/>)";
    QTest::newRow("fastest") << 700 << "2s"
                             << R"(<break time="8000ms"/>)";
    QTest::newRow("the cap, stretched") << 700 << "600s"
                                        << R"(<break time="240000ms"/>)";
}

// From 450 words per minute eSpeak shortens pauses by the rate over 175;
// they are written longer by as much. Pauses before the text are silence
// the engine adds itself and stay as they are.
void TestEspeakSsml::pausesStretchedInFastMode() {
    QFETCH(int, wordsPerMinute);
    QFETCH(QString, length);
    QFETCH(QString, expected);
    const QString pause = "<break time='" + length + "'/>";
    const EspeakDocument document = EspeakSsmlTranslator::translate(
        "<speak>" + pause + "a" + pause + "b</speak>", true, "en-US", wordsPerMinute);
    QCOMPARE(document.ssml, "<speak>a" + expected + "b</speak>");
    QCOMPARE(document.leadingSilenceMs, length == "2s" ? 2000 : 60000);
}

QTEST_GUILESS_MAIN(TestEspeakSsml)
#include "tst_espeakssml.moc"
