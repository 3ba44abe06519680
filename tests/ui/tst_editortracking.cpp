#include "MainWindowController.h"
#include "SpanBuilders.h"
#include "ViewController.h"
#include "WidgetHelpers.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace parlino;

// Real typing, deleting, pasting, undo and redo in the editor reach the
// tracker: spans stay on their characters, highlights on the spans and the
// statistics current. The tracker's own tables prove every case; these rows
// prove the wiring for a representative selection.
class TestEditorTracking : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void edits_data();
    void edits();
    void limitAlertDoesNotStack();

private:
    MainWindowController *m_window = nullptr;
    ViewController *m_view = nullptr;
};

void TestEditorTracking::initTestCase() {
    m_window = new MainWindowController;
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestEditorTracking::edits_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("spans");
    // A = [10,20) Emphasis and B = [30,40) Volume over 50 letters.
    QTest::newRow("type inside A") << "at 15; type x"
                                   << "[10,21) [31,41)";
    QTest::newRow("type at A's first character") << "at 10; type x"
                                                 << "[11,21) [31,41)";
    QTest::newRow("type right after A") << "at 20; type x"
                                        << "[10,20) [31,41)";
    QTest::newRow("paste three at the start") << "at 0; paste xyz"
                                              << "[13,23) [33,43)";
    QTest::newRow("backspace A's last character") << "at 20; key Backspace"
                                                  << "[10,19) [29,39)";
    QTest::newRow("delete the character after A") << "at 20; key Delete"
                                                  << "[10,20) [29,39)";
    QTest::newRow("delete exactly A") << "select 10 20; key Backspace"
                                      << "[20,30)";
    QTest::newRow("delete from inside A into B") << "select 15 35; cut"
                                                 << "[10,15) [15,20)";
    QTest::newRow("paste five over a stretch inside A") << "select 12 15; paste 12345"
                                                        << "[10,22) [32,42)";
    QTest::newRow("paste two over A's head") << "select 5 15; paste xy"
                                             << "[7,12) [22,32)";
    QTest::newRow("type over exactly A") << "select 10 20; type x"
                                         << "[21,31)";
    QTest::newRow("Enter inside A") << "at 15; key Return"
                                    << "[10,21) [31,41)";
    QTest::newRow("multi-line paste inside A") << "at 15; paste ab\ncd\nef"
                                               << "[10,28) [38,48)";
    QTest::newRow("undo typing inside A") << "at 15; type xy; undo"
                                          << "[10,20) [30,40)";
    QTest::newRow("redo it") << "at 15; type xy; undo; redo"
                             << "[10,22) [32,42)";
    QTest::newRow("undo a paste before A") << "at 2; paste \n\n; undo"
                                           << "[10,20) [30,40)";
    QTest::newRow("undo does not bring a deleted span back") << "select 10 20; key Delete; undo"
                                                             << "[30,40)";
    QTest::newRow("delete everything") << "all; key Delete"
                                       << "";
}

void TestEditorTracking::edits() {
    QFETCH(QString, script);
    QFETCH(QString, spans);
    loadText(m_view, QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX"),
             {span(10, 20), span(30, 40, QStringLiteral("Volume"), QStringLiteral("loud"))});
    perform(m_view->textView(), script);

    const EffectsArray &now = m_view->effectsArray();
    QCOMPARE(ranges(now), spans);
    QCOMPARE(highlights(m_view->textView()->document()), expectedHighlights(now));
    const QString text = m_view->textView()->toPlainText();
    QCOMPARE(m_view->charactersCount()->text(),
             text.isEmpty() ? QString() : QStringLiteral("(1words %1characters)").arg(text.size()));
}

void TestEditorTracking::limitAlertDoesNotStack() {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.app.debug=true"));
    loadText(m_view, QString(4999, u'a') + QStringLiteral("   "), {span(0, 10)});
    SSMLTextView *text = m_view->textView();
    perform(text, "at 0; type b"); // 5000 characters besides spaces: still allowed
    QVERIFY(!m_view->openAlert());
    QTest::keyClicks(text, "c");
    QMessageBox *alert = m_view->openAlert();
    QVERIFY(alert);
    QTRY_VERIFY(alert->isVisible());
    QCOMPARE(alert->text(), QStringLiteral("The length cannot exceed 5000"));
    QCOMPARE(alert->windowModality(), Qt::WindowModal);
    QCOMPARE(m_view->charactersCount()->text(), QStringLiteral("(4words 5001characters)"));
    QCOMPARE(ranges(m_view->effectsArray()), QStringLiteral("[2,12)"));

    QTest::keyClicks(text, "d");
    QCOMPARE(m_view->openAlert(), alert);
    QCOMPARE(m_window->findChildren<QMessageBox *>().size(), 1);

    QTest::ignoreMessage(QtDebugMsg, "确定");
    QTest::mouseClick(alert->buttons().constFirst(), Qt::LeftButton);
    QTRY_VERIFY(!m_view->openAlert());
    QLoggingCategory::setFilterRules(QString());
}

QTEST_MAIN(TestEditorTracking)
#include "tst_editortracking.moc"
