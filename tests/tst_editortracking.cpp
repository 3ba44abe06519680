#include "SpanBuilders.h"
#include "WidgetHelpers.h"
#include "app/MainWindowController.h"
#include "app/ViewController.h"
#include "document/ParlinoDocument.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <functional>

// Typing, deleting, pasting, undo and redo in the editor keep the spans on
// their characters, the highlights on the spans and the statistics current.
using Gesture = std::function<void(SSMLTextView *)>;
Q_DECLARE_METATYPE(Gesture)

namespace {

const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX");

Gesture typeAt(int at, const char *keys) {
    return [at, keys](SSMLTextView *v) {
        placeCaret(v, at);
        QTest::keyClicks(v, keys);
    };
}

Gesture keyAt(int at, Qt::Key key) {
    return [at, key](SSMLTextView *v) {
        placeCaret(v, at);
        QTest::keyClick(v, key);
    };
}

Gesture backspaceOver(int start, int end) {
    return [start, end](SSMLTextView *v) {
        selectRange(v, start, end);
        QTest::keyClick(v, Qt::Key_Backspace);
    };
}

Gesture typeOver(int start, int end, const char *keys) {
    return [start, end, keys](SSMLTextView *v) {
        selectRange(v, start, end);
        QTest::keyClicks(v, keys);
    };
}

Gesture pasteOver(int start, int end, const QString &text) {
    return [start, end, text](SSMLTextView *v) {
        selectRange(v, start, end);
        pasteText(v, text);
    };
}

Gesture then(Gesture first, QKeySequence::StandardKey key) {
    return [first, key](SSMLTextView *v) {
        first(v);
        QTest::keySequence(v, key);
    };
}

} // namespace

class TestEditorTracking : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void edits_data();
    void edits();
    void statisticsFollowTyping();
    void limitAlertDoesNotStack();

private:
    void load(const QString &text, const EffectsArray &spans);

    MainWindowController *m_window = nullptr;
    ViewController *m_view = nullptr;
};

void TestEditorTracking::initTestCase() {
    m_window = new MainWindowController;
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_view->textView()->setFocus();
}

void TestEditorTracking::load(const QString &text, const EffectsArray &spans) {
    ParlinoDocument document;
    document.text = text;
    document.effects = spans;
    m_view->loadDocument(document);
}

void TestEditorTracking::edits_data() {
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QString>("spans");

    // A = [10,20) Emphasis and B = [30,40) Volume over 50 letters.
    QTest::newRow("type inside A") << typeAt(15, "x") << "[10,21) [31,41)";
    QTest::newRow("type at A's first character") << typeAt(10, "x") << "[11,21) [31,41)";
    QTest::newRow("type right after A") << typeAt(20, "x") << "[10,20) [31,41)";
    QTest::newRow("paste three at the start") << pasteOver(0, 0, "xyz") << "[13,23) [33,43)";
    QTest::newRow("backspace A's last character")
        << keyAt(20, Qt::Key_Backspace) << "[10,19) [29,39)";
    QTest::newRow("delete the character after A") << keyAt(20, Qt::Key_Delete) << "[10,20) [29,39)";
    QTest::newRow("delete inside A") << backspaceOver(12, 15) << "[10,17) [27,37)";
    QTest::newRow("delete up to A's start") << backspaceOver(8, 10) << "[8,18) [28,38)";
    QTest::newRow("delete up to A's end") << backspaceOver(15, 20) << "[10,15) [25,35)";
    QTest::newRow("delete exactly A") << backspaceOver(10, 20) << "[20,30)";
    QTest::newRow("delete A's head") << backspaceOver(5, 15) << "[5,10) [20,30)";
    QTest::newRow("delete from inside A into B") << backspaceOver(15, 35) << "[10,15) [15,20)";
    QTest::newRow("delete both") << backspaceOver(0, 45) << "";
    QTest::newRow("paste five over a stretch inside A")
        << pasteOver(12, 15, "12345") << "[10,22) [32,42)";
    QTest::newRow("type over one character of A") << typeOver(15, 16, "x") << "[10,20) [30,40)";
    QTest::newRow("paste two over A's head") << pasteOver(5, 15, "xy") << "[7,12) [22,32)";
    QTest::newRow("type over exactly A") << typeOver(10, 20, "x") << "[21,31)";
    QTest::newRow("Enter inside A") << keyAt(15, Qt::Key_Return) << "[10,21) [31,41)";
    QTest::newRow("multi-line paste inside A")
        << pasteOver(15, 15, "ab\ncd\nef") << "[10,28) [38,48)";
    QTest::newRow("undo typing inside A")
        << then(typeAt(15, "xy"), QKeySequence::Undo) << "[10,20) [30,40)";
    QTest::newRow("redo it") << then(then(typeAt(15, "xy"), QKeySequence::Undo), QKeySequence::Redo)
                             << "[10,22) [32,42)";
    QTest::newRow("undo a paste before A")
        << then(pasteOver(2, 2, "\n\n"), QKeySequence::Undo) << "[10,20) [30,40)";
    QTest::newRow("undo does not bring a deleted span back")
        << then(backspaceOver(10, 20), QKeySequence::Undo) << "[30,40)";
}

void TestEditorTracking::edits() {
    QFETCH(Gesture, gesture);
    QFETCH(QString, spans);
    load(letters, {span(10, 20, QStringLiteral("Emphasis")),
                   span(30, 40, QStringLiteral("Volume"), QStringLiteral("loud"))});
    gesture(m_view->textView());

    const EffectsArray &now = m_view->effectsArray();
    QCOMPARE(ranges(now), spans);
    QCOMPARE(highlights(m_view->textView()->document()), expectedHighlights(now));
    const QString text = m_view->textView()->toPlainText();
    QCOMPARE(m_view->charactersCount()->text(),
             text.isEmpty() ? QString() : QStringLiteral("(1words %1characters)").arg(text.size()));
}

void TestEditorTracking::statisticsFollowTyping() {
    load(QString(), {});
    SSMLTextView *text = m_view->textView();
    QTest::keyClicks(text, "ab  c");
    QCOMPARE(m_view->charactersCount()->text(), QStringLiteral("(3words 3characters)"));
    QTest::keySequence(text, QKeySequence::SelectAll);
    QTest::keyClick(text, Qt::Key_Delete);
    QCOMPARE(m_view->charactersCount()->text(), QString());
}

void TestEditorTracking::limitAlertDoesNotStack() {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.app.debug=true"));
    load(QString(4999, u'a') + QStringLiteral("   "), {span(0, 10)});
    SSMLTextView *text = m_view->textView();
    placeCaret(text, 0);
    QTest::keyClicks(text, "b"); // 5000 characters besides spaces: still allowed
    QVERIFY(!m_view->openAlert());
    QTest::keyClicks(text, "c");
    QMessageBox *alert = m_view->openAlert();
    QVERIFY(alert);
    QTRY_VERIFY(alert->isVisible());
    QCOMPARE(alert->text(), QStringLiteral("The length cannot exceed 5000"));
    QCOMPARE(alert->icon(), QMessageBox::Warning);
    QCOMPARE(alert->buttons().size(), 1);
    QCOMPARE(alert->windowModality(), Qt::WindowModal);
    QCOMPARE(m_view->charactersCount()->text(), QStringLiteral("(4words 5001characters)"));
    QCOMPARE(ranges(m_view->effectsArray()), QStringLiteral("[2,12)"));

    QTest::keyClicks(text, "d");
    QCOMPARE(m_view->openAlert(), alert);
    QCOMPARE(m_window->findChildren<QMessageBox *>().size(), 1);
    QCOMPARE(m_view->charactersCount()->text(), QStringLiteral("(4words 5002characters)"));

    QTest::ignoreMessage(QtDebugMsg, "确定");
    QTest::mouseClick(alert->buttons().constFirst(), Qt::LeftButton);
    QTRY_VERIFY(!m_view->openAlert());
    QLoggingCategory::setFilterRules(QString());
}

QTEST_MAIN(TestEditorTracking)
#include "tst_editortracking.moc"
