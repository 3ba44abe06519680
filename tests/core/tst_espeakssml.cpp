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

QTEST_GUILESS_MAIN(TestEspeakSsml)
#include "tst_espeakssml.moc"
