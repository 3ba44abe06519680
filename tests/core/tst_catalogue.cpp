#include "catalogue/DataSource.h"
#include "catalogue/KeyOrder.h"

#include <QSet>
#include <QTest>

using namespace parlino;

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void counts();
    void popUpOrder();
    void voicesOfLanguage_data();
    void voicesOfLanguage();
    void voiceNamesHaveTheirForm();
    void ordering_data();
    void ordering();
    void sortingLeavesArgumentAlone();
    void languageCode_data();
    void languageCode();
};

void TestCatalogue::counts() {
    const Catalogue catalogue = DataSource::returnDataSource();
    QCOMPARE(catalogue.size(), 37);
    qsizetype voices = 0;
    qsizetype empty = 0;
    QSet<QString> unique;
    for (const QStringList &list : catalogue) {
        voices += list.size();
        empty += list.isEmpty() ? 1 : 0;
        for (const QString &voice : list)
            unique.insert(voice);
    }
    QCOMPARE(voices, 88);
    QCOMPARE(unique.size(), 88);
    QCOMPARE(empty, 6);
    QCOMPARE(DataSource::defaultVoice(), QStringLiteral("ar-XA-Standard-A"));
}

void TestCatalogue::popUpOrder() {
    const QStringList order = sortedArrayByKeys(DataSource::returnDataSource().keys());
    QCOMPARE(order.size(), 37);
    QCOMPARE(order.first(), QStringLiteral("Arabic"));
    QCOMPARE(order.last(), QStringLiteral("Welsh"));
    const QStringList expectedRuns[] = {
        {"English (UK)", "English (US)", "English (Welsh)", "Filipino (Philippines)"},
        {"Hungarian (Hungary)", "Icelandic", "Indonesian (Indonesia)"},
        {"Slovak (Slovakia)", "Spanish (Mexican)", "Spanish (Spain)", "Spanish (US)"},
    };
    for (const QStringList &run : expectedRuns) {
        const qsizetype start = order.indexOf(run.first());
        QVERIFY(start >= 0);
        QCOMPARE(order.mid(start, run.size()), run);
    }
}

void TestCatalogue::voicesOfLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("voices");
    QTest::newRow("Arabic") << "Arabic"
                            << QStringList{"ar-XA-Standard-A", "ar-XA-Standard-B",
                                           "ar-XA-Standard-C"};
    QTest::newRow("English (US) starts at B")
        << "English (US)"
        << QStringList{"en-US-Standard-B", "en-US-Standard-C", "en-US-Standard-D",
                       "en-US-Standard-E"};
    QTest::newRow("Filipino") << "Filipino (Philippines)" << QStringList{"fil-PH-Standard-A"};
    for (const char *empty :
         {"Welsh", "English (Welsh)", "Icelandic", "Romanian", "Spanish (Mexican)", "Spanish (US)"})
        QTest::newRow(empty) << empty << QStringList();
}

void TestCatalogue::voicesOfLanguage() {
    QFETCH(QString, language);
    QFETCH(QStringList, voices);
    const Catalogue catalogue = DataSource::returnDataSource();
    QVERIFY(catalogue.contains(language));
    QCOMPARE(sortedArrayByKeys(catalogue.value(language)), voices);
}

void TestCatalogue::voiceNamesHaveTheirForm() {
    const QRegularExpression form(QStringLiteral("^[a-z]{2,3}-[A-Z]{2}-Standard-[A-Z]$"));
    for (const QStringList &voices : DataSource::returnDataSource()) {
        for (const QString &voice : voices) {
            QVERIFY2(form.match(voice).hasMatch(), qPrintable(voice));
            QVERIFY(DataSource::isKnownVoice(voice));
        }
    }
    QVERIFY(!DataSource::isKnownVoice(QStringLiteral("en-US-Standard-A")));
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
