#include "SpanBuilders.h"
#include "editing/EditTracker.h"
#include "editing/TextEdit.h"

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
    void twoSpans_data();
    void twoSpans();
    void oneSpan_data();
    void oneSpan();
    void openCases_data();
    void openCases();
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

// Runs one edit over a 60-unit text and checks the spans.
static void checkTracking(const EffectsArray &before, const TextEdit &e, const QString &expected) {
    EffectsArray spans = before;
    EditTracker::track(spans, e, letters(60 - e.removed + e.inserted));
    QCOMPARE(ranges(spans), expected);
}

void TestEditTracking::twoSpans_data() {
    QTest::addColumn<TextEdit>("e");
    QTest::addColumn<QString>("expected");
    // A = [10, 20), B = [30, 40)
    QTest::newRow("type inside A") << edit(15, 0, 1) << "[10,21) [31,41)";
    QTest::newRow("type at A's start") << edit(10, 0, 1) << "[11,21) [31,41)";
    QTest::newRow("type at A's end") << edit(20, 0, 1) << "[10,20) [31,41)";
    QTest::newRow("paste 3 at 0") << edit(0, 0, 3) << "[13,23) [33,43)";
    QTest::newRow("backspace A's last character") << edit(19, 1, 0) << "[10,19) [29,39)";
    QTest::newRow("delete the character after A") << edit(20, 1, 0) << "[10,20) [29,39)";
    QTest::newRow("delete inside A") << edit(12, 3, 0) << "[10,17) [27,37)";
    QTest::newRow("delete ending at A's start") << edit(8, 2, 0) << "[8,18) [28,38)";
    QTest::newRow("delete up to A's end") << edit(15, 5, 0) << "[10,15) [25,35)";
    QTest::newRow("delete exactly A") << edit(10, 10, 0) << "[20,30)";
    QTest::newRow("delete A's head") << edit(5, 10, 0) << "[5,10) [20,30)";
    QTest::newRow("delete from A into B") << edit(15, 20, 0) << "[10,15) [15,20)";
    QTest::newRow("delete everything") << edit(0, 45, 0) << "";
    QTest::newRow("replace inside A by more") << edit(12, 3, 5) << "[10,22) [32,42)";
    QTest::newRow("type over a character of A") << edit(15, 1, 1) << "[10,20) [30,40)";
    QTest::newRow("replace A's head") << edit(5, 10, 2) << "[7,12) [22,32)";
    QTest::newRow("replace exactly A") << edit(10, 10, 1) << "[21,31)";
    QTest::newRow("delete past B's end") << edit(15, 25, 0) << "[10,15)";
    QTest::newRow("replace past B's end") << edit(15, 25, 3) << "[10,15)";
    QTest::newRow("replace into B: new text outside B") << edit(15, 20, 2) << "[10,15) [17,22)";
    QTest::newRow("replace ending at B's start") << edit(18, 12, 1) << "[10,18) [19,29)";
}

void TestEditTracking::twoSpans() {
    QFETCH(TextEdit, e);
    QFETCH(QString, expected);
    checkTracking({span(10, 20), span(30, 40)}, e, expected);
}

void TestEditTracking::oneSpan_data() {
    QTest::addColumn<TextEdit>("e");
    QTest::addColumn<QString>("expected");
    // The span is [10, 20): positions of an edit the two-span table leaves out.
    QTest::newRow("delete over all") << edit(8, 14, 0) << "";
    QTest::newRow("delete leading part") << edit(10, 3, 0) << "[10,17)";
    QTest::newRow("delete the tail and beyond") << edit(15, 8, 0) << "[10,15)";
    QTest::newRow("delete from the end on") << edit(20, 3, 0) << "[10,20)";
    QTest::newRow("delete before") << edit(2, 5, 0) << "[5,15)";
    QTest::newRow("replace over all") << edit(8, 14, 2) << "";
    QTest::newRow("replace before") << edit(2, 5, 1) << "[6,16)";
    QTest::newRow("replace ending at start") << edit(7, 3, 5) << "[12,22)";
    QTest::newRow("replace up to end: joins") << edit(15, 5, 2) << "[10,17)";
    QTest::newRow("replace leading part: joins") << edit(10, 3, 1) << "[10,18)";
    QTest::newRow("replace the tail: outside") << edit(15, 10, 3) << "[10,15)";
    QTest::newRow("replace from the end on: outside") << edit(20, 2, 3) << "[10,20)";
}

void TestEditTracking::oneSpan() {
    QFETCH(TextEdit, e);
    QFETCH(QString, expected);
    checkTracking({span(10, 20)}, e, expected);
}

void TestEditTracking::openCases_data() {
    QTest::addColumn<EffectsArray>("before");
    QTest::addColumn<TextEdit>("e");
    QTest::addColumn<QString>("expected");
    QTest::newRow("long paste inside a short span")
        << EffectsArray{span(10, 12)} << edit(11, 0, 5) << "[10,17)";
    QTest::newRow("long paste just before a short span")
        << EffectsArray{span(10, 12), span(30, 40)} << edit(9, 0, 5) << "[15,17) [35,45)";
    QTest::newRow("long replacement over a short span's end")
        << EffectsArray{span(10, 12)} << edit(11, 2, 6) << "[10,11)";
    QTest::newRow("identical spans both grow")
        << EffectsArray{span(10, 20), span(10, 20, "Sub", "x")} << edit(12, 0, 1)
        << "[10,21) [10,21)";
    QTest::newRow("identical spans both move")
        << EffectsArray{span(10, 20), span(10, 20, "Sub", "x")} << edit(10, 0, 4)
        << "[14,24) [14,24)";
    QTest::newRow("span nested in a longer one")
        << EffectsArray{span(12, 15), span(10, 20)} << edit(5, 2, 6) << "[16,19) [14,24)";
    QTest::newRow("order is never re-sorted")
        << EffectsArray{span(30, 40), span(10, 20)} << edit(0, 0, 1) << "[31,41) [11,21)";
}

void TestEditTracking::openCases() {
    QFETCH(EffectsArray, before);
    QFETCH(TextEdit, e);
    QFETCH(QString, expected);
    checkTracking(before, e, expected);
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
