#include "GoldenData.h"
#include "synthesis/offline/sayas/SayAsReading.h"

#include <QDir>
#include <QTest>

using namespace parlino;

class TestSayAsReading : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
};

// The rows of tests/data/sayas/*.tsv, one table per language reader: a name,
// the language code, the kind ("date FORMAT", "time", "ordinal", "fraction"),
// the text and its reading, or "-" when the text is not of that kind.
void TestSayAsReading::read_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QDir root(QStringLiteral(PARLINO_TEST_DATA "/sayas"));
    for (const QString &table : root.entryList({"*.tsv"})) {
        for (const QStringList &row : goldenTable(root.filePath(table))) {
            QVERIFY2(row.size() == 5, qPrintable(table + ": " + row.join(" | ")));
            const QString expected = row.at(4) == QLatin1String("-") ? QString() : row.at(4);
            QTest::addRow("%s: %s", qPrintable(table), qPrintable(row.at(0)))
                << row.at(1) << row.at(2) << row.at(3) << expected;
        }
    }
}

void TestSayAsReading::read() {
    QFETCH(QString, language);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const SayAsReading say(language);
    QString heard;
    if (kind.startsWith(QLatin1String("date ")))
        heard = say.date(text, kind.mid(5));
    else if (kind == QLatin1String("time"))
        heard = say.time(text);
    else
        heard = kind == QLatin1String("ordinal") ? say.ordinal(text) : say.fraction(text);
    QCOMPARE(heard.isNull(), expected.isNull());
    QCOMPARE(heard, expected);
}

QTEST_GUILESS_MAIN(TestSayAsReading)
#include "tst_sayasreading.moc"
