#include "editing/EditWindow.h"

#include <QTest>

using namespace parlino;

// Windows as QTextDocument reports them (they may include the document's
// trailing block separator, one unit past the plain text). The text view's
// tests drive the common gestures through these; here are the odd windows.
class TestEditWindow : public QObject {
    Q_OBJECT
private slots:
    void trim_data();
    void trim();
    void selection_data();
    void selection();
};

Q_DECLARE_METATYPE(TextEdit)

namespace {
const QString hello = QStringLiteral("Hello world");
const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, two units
const QString wink = QString::fromUtf8("\xF0\x9F\x98\x89");  // U+1F609, same high surrogate
} // namespace

void TestEditWindow::trim_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<TextEdit>("expected");

    QTest::newRow("paste into empty document, whole block reported")
        << ""
        << "ab" << 0 << 1 << 3 << TextEdit{0, 0, 2};
    QTest::newRow("emoji committed in line 1 of 3")
        << "line1\nline2\nline3" << QString("li%1ne1\nline2\nline3").arg(emoji) << 0 << 6 << 8
        << TextEdit{2, 0, 2};
    QTest::newRow("multi-line paste over a selection, window wider than the edit")
        << hello << "ab\ncd world" << 0 << 12 << 12 << TextEdit{0, 5, 5};
    QTest::newRow("format change reports a replacement of nothing")
        << hello << hello << 2 << 3 << 3 << TextEdit{5, 0, 0};
    QTest::newRow("emoji replaced by emoji keeps the pair whole")
        << "ab" + emoji + "cd"
        << "ab" + wink + "cd" << 2 << 2 << 2 << TextEdit{2, 2, 2};
    QTest::newRow("insert before an emoji sharing its low half does not split it")
        << "x" + emoji << "x" + wink + emoji << 0 << 4 << 6 << TextEdit{1, 0, 2};
    QTest::newRow("window that does not explain the change falls back to the whole text")
        << hello << "Hello, world" << 0 << 1 << 1 << TextEdit{5, 0, 1};
    QTest::newRow("window past the end is clamped") << "abc"
                                                    << "abcd" << 3 << 1 << 2 << TextEdit{3, 0, 1};
}

void TestEditWindow::trim() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(TextEdit, expected);
    const TextEdit edit = trimEditWindow(before, after, position, removed, added);
    QCOMPARE(edit.location, expected.location);
    QCOMPARE(edit.removed, expected.removed);
    QCOMPARE(edit.inserted, expected.inserted);
}

void TestEditWindow::selection_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("explains");
    QTest::addColumn<TextEdit>("expected");

    QTest::newRow("select all, type H") << hello << "H" << 0 << 11 << true << TextEdit{0, 11, 1};
    QTest::newRow("backspace at the caret is not a replacement")
        << hello << "Hell world" << 5 << 0 << false << TextEdit{};
    QTest::newRow("cutting the selection")
        << hello << "Hello" << 5 << 6 << true << TextEdit{5, 6, 0};
    QTest::newRow("text changed elsewhere")
        << hello << "Xello world!" << 11 << 0 << false << TextEdit{};
    QTest::newRow("nothing changed at the caret")
        << hello << hello << 3 << 0 << false << TextEdit{};
    QTest::newRow("selection past the end")
        << hello << hello + "!" << 11 << 2 << false << TextEdit{};
}

void TestEditWindow::selection() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, explains);
    QFETCH(TextEdit, expected);
    const auto edit = replacementOfSelection(before, after, start, length);
    QCOMPARE(edit.has_value(), explains);
    if (edit)
        QCOMPARE(*edit, expected);
}

QTEST_GUILESS_MAIN(TestEditWindow)
#include "tst_editwindow.moc"
