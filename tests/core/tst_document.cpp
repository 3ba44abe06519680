#include "GoldenData.h"
#include "SpanBuilders.h"
#include "document/ParlinoDocument.h"

#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void readsFullDocument();
    void reads_data();
    void reads();
    void roundTrip();
    void saveFailsCleanly();
};

void TestDocument::readsFullDocument() {
    const QByteArray json = R"({
      "text": "Wait\u23F8now",
      "effects": [ { "effect": "Break", "location": 4, "length": 1, "value": "2" },
                   { "effect": "Time", "location": 0, "length": 4, "value": "ignored" },
                   { "effect": "Say as", "location": 5, "length": 3, "value": "verbatim" } ],
      "voice": "en-GB-Standard-A", "pitch": -3, "speed": 150
    })";
    QString error;
    const auto document = ParlinoDocument::fromBytes(json, true, &error);
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->text, QStringLiteral("Wait\u23F8now"));
    QCOMPARE(ranges(document->effects), QStringLiteral("[4,5) [0,4) [5,8)"));
    QCOMPARE(document->effects.at(0).ssmlTag, QStringLiteral("2"));
    QVERIFY(!document->effects.at(0).color.isValid());
    QCOMPARE(document->effects.at(1).ssmlTag, QStringLiteral("time"));
    QCOMPARE(document->effects.at(2).color, QColor(0x9F, 0xE4, 0x84));
    QCOMPARE(document->voice.value_or(QString()), QStringLiteral("en-GB-Standard-A"));
    QCOMPARE(document->pitch.value_or(0), -3);
    QCOMPARE(document->speed.value_or(0), 150);
}

void TestDocument::reads_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/documents.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

// Plain text comes in whole with nothing else; a refusal is one line naming the fault.
void TestDocument::reads() {
    QFETCH(QStringList, row);
    const QByteArray bytes = QByteArray::fromPercentEncoding(row.at(2).toUtf8());
    const QString expected = row.at(3).section(u':', 1);
    QString error;
    const auto document = ParlinoDocument::fromBytes(bytes, row.at(1) == "json", &error);
    if (row.at(3).startsWith("refused:")) {
        QVERIFY(!document);
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(!error.contains(u'\n'));
        return;
    }
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->text, expected);
    QVERIFY(document->effects.isEmpty());
    QVERIFY(!document->voice && !document->pitch && !document->speed);
}

void TestDocument::roundTrip() {
    QTemporaryDir dir;
    ParlinoDocument document;
    document.text = QStringLiteral("a \U0001F600 \u23F8 <b> & \"q\"");
    document.effects = {span(2, 4, "Sub", "smile"), span(5, 6, "Break", "1.5"),
                        span(0, 1, "Time", "time"), span(7, 10, "Time", "hms24")};
    document.voice = QStringLiteral("de-DE-Standard-B");
    document.speed = 80;
    const QString path = dir.filePath(QStringLiteral("doc.json"));
    QString error;
    QVERIFY2(document.save(path, &error), qPrintable(error));
    const auto loaded = ParlinoDocument::load(path, &error);
    QVERIFY2(loaded, qPrintable(error));
    QCOMPARE(loaded->text, document.text);
    QCOMPARE(loaded->effects, document.effects);
    QCOMPARE(loaded->voice, document.voice);
    QVERIFY(!loaded->pitch);
    QCOMPARE(loaded->speed, document.speed);
}

void TestDocument::saveFailsCleanly() {
    QTemporaryDir dir;
    ParlinoDocument document;
    document.text = QStringLiteral("x");
    QString error;
    QVERIFY(!document.save(dir.filePath(QStringLiteral("missing/doc.json")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!ParlinoDocument::load(dir.filePath(QStringLiteral("absent.json")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
