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
    void sortingLeavesArgumentAlone();
    void languageCode_data();
    void languageCode();
};

// The whole table, language by language in pop-up order, is compared with
// tests/data/cli/voices.out by the command-line tests; here what that list
// cannot show.
void TestCatalogue::lookups() {
    QCOMPARE(DataSource::defaultVoice(), QStringLiteral("ar-XA-Standard-A"));
    QVERIFY(DataSource::isKnownVoice(QStringLiteral("en-US-Standard-B")));
    QVERIFY(!DataSource::isKnownVoice(QStringLiteral("en-US-Standard-A")));
    QVERIFY(!DataSource::isKnownVoice(QString()));
}

void TestCatalogue::ordering_data() {
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("9 before 10") << QStringList{"Voice 10", "Voice 9"}
                                 << QStringList{"Voice 9", "Voice 10"};
    QTest::newRow("capital before small")
        << QStringList{"arabic", "Arabic"} << QStringList{"Arabic", "arabic"};
    QTest::newRow("code-unit order, no locale")
        << QStringList{"Spanish (US)", "Spanish (Spain)", "Spanish (Mexican)"}
        << QStringList{"Spanish (Mexican)", "Spanish (Spain)", "Spanish (US)"};
    QTest::newRow("Z before a (code units)") << QStringList{"a", "Z"} << QStringList{"Z", "a"};
    QTest::newRow("accented after plain")
        << QStringList{"\u00c9mile", "Zoe"} << QStringList{"Zoe", "\u00c9mile"};
    QTest::newRow("digits inside")
        << QStringList{"x2y10", "x2y9", "x10y1"} << QStringList{"x2y9", "x2y10", "x10y1"};
    QTest::newRow("leading zeros tie by code unit")
        << QStringList{"a7", "a007"} << QStringList{"a007", "a7"};
    QTest::newRow("prefix first") << QStringList{"abc", "ab"} << QStringList{"ab", "abc"};
    QTest::newRow("long numbers") << QStringList{"n123456789012345678901", "n99"}
                                  << QStringList{"n99", "n123456789012345678901"};
    QTest::newRow("empty") << QStringList{} << QStringList{};
}

void TestCatalogue::ordering() {
    QFETCH(QStringList, input);
    QFETCH(QStringList, expected);
    QCOMPARE(sortedArrayByKeys(input), expected);
}

void TestCatalogue::sortingLeavesArgumentAlone() {
    const QStringList input{"b", "a"};
    const QStringList copy = input;
    sortedArrayByKeys(input);
    QCOMPARE(input, copy);
}

void TestCatalogue::languageCode_data() {
    QTest::addColumn<QString>("voice");
    QTest::addColumn<QString>("code");
    QTest::newRow("en-GB") << "en-GB-Standard-A"
                           << "en-GB";
    QTest::newRow("three letters") << "fil-PH-Standard-A"
                                   << "fil-PH";
    QTest::newRow("no dash") << "voice"
                             << "voice";
}

void TestCatalogue::languageCode() {
    QFETCH(QString, voice);
    QFETCH(QString, code);
    QCOMPARE(DataSource::languageCodeOfVoice(voice), code);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
