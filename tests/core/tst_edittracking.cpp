#include "GoldenData.h"
#include "SpanBuilders.h"
#include "editing/EditTracker.h"
#include "editing/TextEdit.h"

#include <QRegularExpression>
#include <QTest>

using namespace parlino;

// A text of the given length made of letters only.
static QString letters(qint64 length) {
    return QString(length, u'x');
}

static TextEdit edit(qint64 location, qint64 removed, qint64 inserted) {
    return TextEdit{location, removed, inserted};
}

class TestEditTracking : public QObject {
    Q_OBJECT
private slots:
    void fromRanges_data();
    void fromRanges();
    void statistics_data();
    void statistics();
    void tracking_data();
    void tracking();
    void emptySpansGo();
    void trackedOverTheLimit();
};

void TestEditTracking::fromRanges_data() {
    using Ranges = QList<std::pair<qint64, qint64>>;
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QStringList>("strings");
    QTest::addColumn<TextEdit>("expected");
    QTest::newRow("deletion") << Ranges{{3, 4}} << QStringList{""} << edit(3, 4, 0);
    QTest::newRow("emoji counts two units") << Ranges{{2, 1}} << QStringList{"😀"} << edit(2, 1, 2);
    QTest::newRow("only the first range and string")
        << Ranges{{1, 2}, {9, 9}} << QStringList{"abc", "defgh"} << edit(1, 2, 3);
    QTest::newRow("nothing") << Ranges{} << QStringList{} << edit(0, 0, 0);
}

void TestEditTracking::fromRanges() {
    using Ranges = QList<std::pair<qint64, qint64>>;
    QFETCH(Ranges, ranges);
    QFETCH(QStringList, strings);
    QFETCH(TextEdit, expected);
    QCOMPARE(TextEdit::fromRanges(ranges, strings), expected);
}

void TestEditTracking::statistics_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("limitExceeded");
    QTest::newRow("empty") << QString() << QString() << false;
    QTest::newRow("two spaces make an empty word")
        << QString("a  b") << "(3words 2characters)" << false;
    QTest::newRow("line breaks and tabs are no separators")
        << QString("\n\n\t") << "(1words 3characters)" << false;
    QTest::newRow("only spaces") << QString("   ") << "(4words 0characters)" << false;
    QTest::newRow("emoji counts two units") << QString("😀") << "(1words 2characters)" << false;
    QTest::newRow("5000 letters and spaces pass")
        << letters(5000) + QString(300, u' ') << "(301words 5000characters)" << false;
    QTest::newRow("5001 letters raise the alert")
        << letters(5001) << "(1words 5001characters)" << true;
    QTest::newRow("non-breaking space is a character")
        << letters(5000) + QChar(0x00A0) << "(1words 5001characters)" << true;
}

void TestEditTracking::statistics() {
    QFETCH(QString, text);
    QFETCH(QString, label);
    QFETCH(bool, limitExceeded);
    QCOMPARE(EditTracker::statistics(text), label);
    QCOMPARE(EditTracker::characterCount(text) > EditTracker::characterLimit, limitExceeded);

    // The tracker reports the same for the text it is given after an edit.
    EffectsArray spans;
    const EditTrackingResult result = EditTracker::track(spans, edit(0, 0, 0), text);
    QCOMPARE(result.statistics, label);
    QCOMPARE(result.limitExceeded, limitExceeded);
}

// "[10,20) [30,40)" back into spans; the kind does not matter to tracking.
static EffectsArray spansFrom(const QString &text) {
    EffectsArray spans;
    static const QRegularExpression range(QStringLiteral("\\[(\\d+),(\\d+)\\)"));
    for (auto it = range.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        spans << span(match.captured(1).toLongLong(), match.captured(2).toLongLong());
    }
    return spans;
}

void TestEditTracking::tracking_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<TextEdit>("e");
    QTest::addColumn<QString>("expected");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/tracking.tsv")) {
        const QStringList numbers = row.at(2).split(u' ');
        QTest::newRow(qPrintable(row.at(0)))
            << row.at(1)
            << edit(numbers.at(0).toLongLong(), numbers.at(1).toLongLong(),
                    numbers.at(2).toLongLong())
            << row.value(3);
    }
}

// Runs one edit over a 60-unit text and checks the spans.
void TestEditTracking::tracking() {
    QFETCH(QString, before);
    QFETCH(TextEdit, e);
    QFETCH(QString, expected);
    EffectsArray spans = spansFrom(before);
    EditTracker::track(spans, e, letters(60 - e.removed + e.inserted));
    QCOMPARE(ranges(spans), expected);
}

void TestEditTracking::emptySpansGo() {
    // An empty span anywhere goes with the next edit, wherever it happens, and
    // a span is kept inside a text shorter than the edit claims.
    EffectsArray spans{span(5, 5), span(10, 20), span(50, 50), span(40, 58)};
    EditTracker::track(spans, edit(59, 0, 1), letters(55));
    QCOMPARE(ranges(spans), "[10,20) [40,55)");
}

void TestEditTracking::trackedOverTheLimit() {
    // Spans follow every edit, also one that leaves the text over the limit.
    EffectsArray spans{span(10, 20), span(4990, 5000)};
    const EditTrackingResult result = EditTracker::track(spans, edit(0, 0, 3), letters(5003));
    QVERIFY(result.limitExceeded);
    QCOMPARE(ranges(spans), "[13,23) [4993,5003)");

    const EditTrackingResult shorter =
        EditTracker::track(spans, edit(4000, 1003, 0), letters(4000));
    QVERIFY(!shorter.limitExceeded);
    QCOMPARE(ranges(spans), "[13,23)");
}

QTEST_GUILESS_MAIN(TestEditTracking)
#include "tst_edittracking.moc"
