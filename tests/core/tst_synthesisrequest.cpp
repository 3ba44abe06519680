#include "GoldenData.h"
#include "SpanBuilders.h"
#include "synthesis/Conversion.h"
#include "synthesis/SynthesisRequest.h"

#include <QLocale>
#include <QTest>

using namespace parlino;

// The rows of one table under tests/data/synthesis, named by their first cell.
static void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/synthesis/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

class TestSynthesisRequest : public QObject {
    Q_OBJECT
private slots:
    void input_data() { rowsOf("input.tsv"); }
    void input();
    void audioConfig_data() { rowsOf("audioconfig.tsv"); }
    void audioConfig();
    void voice();
};

void TestSynthesisRequest::input() {
    QFETCH(QStringList, row);
    EffectsArray spans;
    if (const QStringList at = row.at(2).split(u' '); at.size() == 2)
        spans << span(at.at(0).toLongLong(), at.at(1).toLongLong());
    ConversionInput in{row.at(1), spans, "en-GB-Standard-A", 0, 100};
    const QJsonObject input = Conversion::request(in).value("input").toObject();
    QCOMPARE(input.keys(), QStringList{row.at(3)});
    QCOMPARE(input.value(row.at(3)).toString(), row.at(4));
}

void TestSynthesisRequest::audioConfig() {
    QFETCH(QStringList, row);
    // A locale with a decimal comma must not leak into the body.
    QLocale::setDefault(QLocale(QLocale::German));
    const QJsonObject config = SynthesisRequest::body("t", "t", "en-GB-Standard-A",
                                                      row.at(1).toDouble(), row.at(2).toDouble())
                                   .value("audioConfig")
                                   .toObject();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(config.value("audioEncoding").toString(), QString("MP3"));
    QVERIFY(config.value("pitch").isDouble());
    QCOMPARE(config.value("pitch").toDouble(), row.at(3).toDouble());
    QVERIFY(config.value("speakingRate").isString());
    QCOMPARE(config.value("speakingRate").toString(), row.at(4));
    QCOMPARE(config.keys().size(), 3);
}

void TestSynthesisRequest::voice() {
    const QJsonObject voice =
        SynthesisRequest::body("t", "t", "en-GB-Standard-A", 0, 100).value("voice").toObject();
    QCOMPARE(voice, (QJsonObject{{"languageCode", "en-GB"}, {"name", "en-GB-Standard-A"}}));
    QVERIFY(SynthesisRequest::isUsableVoiceName("fil-PH-Standard-A"));
    QVERIFY(!SynthesisRequest::isUsableVoiceName("English"));
    QVERIFY(!SynthesisRequest::isUsableVoiceName("-x"));
}

QTEST_GUILESS_MAIN(TestSynthesisRequest)
#include "tst_synthesisrequest.moc"
