#include "GoldenData.h"
#include "catalogue/DataSource.h"
#include "catalogue/KeyOrder.h"

#include <QTest>

using namespace parlino;

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void lookups();
    void ordering_data();
    void ordering();
};

// The whole table, language by language in pop-up order, is compared with
// tests/data/cli/voices.out by the command-line tests; here what that list
// cannot show.
void TestCatalogue::lookups() {
    QCOMPARE(DataSource::defaultVoice(), QStringLiteral("ar-XA-Standard-A"));
    QVERIFY(DataSource::isKnownVoice(QStringLiteral("en-US-Standard-B")));
    QVERIFY(!DataSource::isKnownVoice(QStringLiteral("en-US-Standard-A")));
    QVERIFY(!DataSource::isKnownVoice(QString()));
    QCOMPARE(DataSource::languageCodeOfVoice("en-GB-Standard-A"), QStringLiteral("en-GB"));
    QCOMPARE(DataSource::languageCodeOfVoice("fil-PH-Standard-A"), QStringLiteral("fil-PH"));
    QCOMPARE(DataSource::languageCodeOfVoice("voice"), QStringLiteral("voice"));
}

void TestCatalogue::ordering_data() {
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/catalogue/ordering.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row.at(1).split(u'|', Qt::SkipEmptyParts)
                                             << row.at(2).split(u'|', Qt::SkipEmptyParts);
}

void TestCatalogue::ordering() {
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    QCOMPARE(sortedArrayByKeys(input), expected);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
