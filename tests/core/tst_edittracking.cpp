#include "GoldenData.h"
#include "SpanBuilders.h"
#include "editing/EditTracker.h"
#include "editing/EditWindow.h"
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

// "15 0 1" as an edit.
static TextEdit edit(const QString &numbers) {
    const QStringList n = numbers.split(u' ');
    return edit(n.at(0).toLongLong(), n.at(1).toLongLong(), n.at(2).toLongLong());
}

// A text cell of the tables: \n, \t and \u00a0 escapes, "c*N" for N copies of
// c, and parts joined by +.
static QString cellText(const QString &cell) {
    QString result;
    for (QString part : cell.split(u'+')) {
        part.replace("\\n", "\n").replace("\\t", "\t").replace("\\u00a0", QChar(0xA0));
        result += part.indexOf(u'*') == 1 ? QString(part.mid(2).toInt(), part.at(0)) : part;
    }
    return result;
}

// The rows of one table under tests/data/editing, named by their first cell.
static void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

class TestEditTracking : public QObject {
    Q_OBJECT
private slots:
    void fromRanges_data();
    void fromRanges();
    void statistics_data() { rowsOf("statistics.tsv"); }
    void statistics();
    void tracking_data();
    void tracking();
    void emptySpansGo();
    void trackedOverTheLimit();
    void trimWindow_data() { rowsOf("windows.tsv"); }
    void trimWindow();
    void selection_data() { rowsOf("selections.tsv"); }
    void selection();
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

void TestEditTracking::statistics() {
    QFETCH(QStringList, row);
    const QString text = cellText(row.at(1));
    const QString label = row.at(2);
    const bool limitExceeded = row.at(3) == "true";
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
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/tracking.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row.at(1) << edit(row.at(2)) << row.value(3);
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

// The changed window of a document edit, trimmed to the edit it explains.
void TestEditTracking::trimWindow() {
    QFETCH(QStringList, row);
    const QStringList window = row.at(3).split(u' ');
    QCOMPARE(trimEditWindow(cellText(row.at(1)), cellText(row.at(2)), window.at(0).toInt(),
                            window.at(1).toInt(), window.at(2).toInt()),
             edit(row.at(4)));
}

void TestEditTracking::selection() {
    QFETCH(QStringList, row);
    const QStringList selected = row.at(3).split(u' ');
    const auto made = replacementOfSelection(row.at(1), row.at(2), selected.at(0).toInt(),
                                             selected.at(1).toInt());
    QCOMPARE(made.has_value(), row.at(4) != "-");
    if (made)
        QCOMPARE(*made, edit(row.at(4)));
}

QTEST_GUILESS_MAIN(TestEditTracking)
#include "tst_edittracking.moc"
