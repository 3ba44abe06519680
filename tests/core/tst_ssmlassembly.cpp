#include "GoldenData.h"
#include "RandomDocuments.h"
#include "XmlContent.h"
#include "synthesis/SsmlAssembly.h"

#include <QDir>
#include <QJsonObject>
#include <QTest>

using namespace parlino;

namespace {

const QString glyph = QString(QChar(pauseGlyph));

// The spans of a document as written, unchecked, so that a case can hold
// spans a document reader would refuse.
EffectsArray spansOf(const QJsonArray &effects) {
    EffectsArray spans;
    for (const QJsonValue &value : effects) {
        const QJsonObject e = value.toObject();
        const qint64 location = e.value("location").toInteger();
        spans << span(location, location + e.value("length").toInteger(),
                      e.value("effect").toString(), e.value("value").toString());
    }
    return spans;
}

} // namespace

class TestSsmlAssembly : public QObject {
    Q_OBJECT
private slots:
    void assemble_data();
    void assemble();
    void randomDocumentsAreWellFormed();
};

// One case per folder of tests/data/ssml: a document and the SSML it becomes.
void TestSsmlAssembly::assemble_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<QString>("expected");
    const QDir root(QStringLiteral(PARLINO_TEST_DATA "/ssml"));
    const QStringList cases = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(!cases.isEmpty());
    for (const QString &name : cases) {
        const QJsonObject document =
            QJsonDocument::fromJson(goldenText(root.filePath(name + "/document.json")).toUtf8())
                .object();
        QTest::newRow(qPrintable(name))
            << document.value("text").toString() << spansOf(document.value("effects").toArray())
            << goldenText(root.filePath(name + "/expected.ssml"));
    }
}

void TestSsmlAssembly::assemble() {
    QFETCH(QString, text);
    QFETCH(EffectsArray, spans);
    QFETCH(QString, expected);
    const QString ssml = assembleSsml(text, spans);
    QCOMPARE(ssml, expected);
    if (!spans.isEmpty())
        QVERIFY2(XmlContent::of(ssml).error.isEmpty(), qPrintable(XmlContent::of(ssml).error));
}

// Random texts full of markup characters and random span lists: every
// document parses, and its character content is the text less the pause
// glyphs that became breaks.
void TestSsmlAssembly::randomDocumentsAreWellFormed() {
    QStringList pieces = QString("ab <>&'\"\n\r\u00e9").split(QString(), Qt::SkipEmptyParts);
    pieces << glyph << QStringLiteral("\U0001F600") << "&amp;";
    const QStringList values{"strong", "x & y", "<b>", "it's", "\"q\"", "2", "", glyph};
    const QStringList kinds{"Emphasis", "Say as", "Volume", "Date",
                            "Time",     "Sub",    "Break",  "Bogus"};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 4000; ++round) {
        const RandomDocument document = RandomDocument::make(random, pieces, kinds, values);
        const XmlContent parsed = XmlContent::of(assembleSsml(document.text, document.spans));
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QString expected = document.text;
        if (document.has("Break")) {
            QCOMPARE(parsed.breaks, document.text.count(glyph));
            expected.remove(glyph);
        }
        QCOMPARE(parsed.characters, expected);
    }
}

QTEST_GUILESS_MAIN(TestSsmlAssembly)
#include "tst_ssmlassembly.moc"
