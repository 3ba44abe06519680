#include "editing/PauseLength.h"

#include <QTest>

using namespace parlino;

// The pause field's text: what is read as a length, and what is refused.
class TestPauseLength : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
};

void TestPauseLength::reads_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("seconds"); // empty: refused
    const auto row = [](const char *text, const char *locale, const char *seconds) {
        QTest::newRow(text) << QString::fromUtf8(text) << locale << seconds;
    };
    row("2", "en_GB", "2");
    row("1.5", "en_GB", "1.5");
    row("1.5", "de_DE", "1.5");
    row("1,5", "de_DE", "1.5");
    row(" 2s ", "en_GB", "2");
    row("2 S", "en_GB", "2");
    row("500ms", "en_GB", "0.5");
    row(".25", "en_GB", "0.25");
    row("0.1", "en_GB", "0.1");
    row("60s", "en_GB", "60");
    row("1,5", "en_GB", "");
    row("abc", "en_GB", "");
    row("", "en_GB", "");
    row("-1", "en_GB", "");
    row("0", "en_GB", "");
    row("60.5", "en_GB", "");
    row("99ms", "en_GB", "");
    row("1e3", "en_GB", "");
    row("2 seconds", "en_GB", "");
}

void TestPauseLength::reads() {
    QFETCH(QString, text);
    QFETCH(QString, locale);
    QFETCH(QString, seconds);
    QString error;
    const auto read = readPauseLength(text, QLocale(locale), &error);
    QCOMPARE(read.value_or(QString()), seconds);
    QCOMPARE(error.isEmpty(), !seconds.isEmpty());
}

QTEST_GUILESS_MAIN(TestPauseLength)
#include "tst_pauselength.moc"
