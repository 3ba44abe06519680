#include "GoldenData.h"
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
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/pauselengths.tsv"))
        QTest::newRow(qPrintable(row.at(0) + u'/' + row.at(1))) << row;
}

void TestPauseLength::reads() {
    QFETCH(QStringList, row);
    const QString seconds = row.at(2);
    QString error;
    const auto read = readPauseLength(row.at(0), QLocale(row.at(1)), &error);
    QCOMPARE(read.value_or(QString()), seconds);
    QCOMPARE(error.isEmpty(), !seconds.isEmpty());
}

QTEST_GUILESS_MAIN(TestPauseLength)
#include "tst_pauselength.moc"
