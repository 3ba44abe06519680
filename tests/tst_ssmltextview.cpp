#include "editing/SSMLTextView.h"
#include "editing/SSMLTextViewDelegate.h"
#include "editing/TextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <functional>

// The text view's edit reports for real user gestures: each must be the
// exact (location, removed, inserted) of the change, once per change.
namespace {

struct Report {
    TextEdit edit;
    QString replacement;
    QString text;
};

class RecordingDelegate : public SSMLTextViewDelegate {
public:
    void returnDidChangeTextView(SSMLTextView *, const QList<std::pair<qint64, qint64>> &ranges,
                                 const QStringList &strings, const QString &text) override {
        reports.append({TextEdit::fromRanges(ranges, strings), strings.value(0), text});
    }
    QList<Report> reports;
};

using Gesture = std::function<void(SSMLTextView *)>;

void select(SSMLTextView *view, int start, int end) {
    QTextCursor cursor = view->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
}

void paste(SSMLTextView *view, const QString &text) {
    QApplication::clipboard()->setText(text);
    QTest::keySequence(view, QKeySequence::Paste);
}

void commit(SSMLTextView *view, const QString &text) {
    QInputMethodEvent event(QString(), {});
    event.setCommitString(text);
    QApplication::sendEvent(view, &event);
}

void preedit(SSMLTextView *view, const QString &text) {
    QInputMethodEvent event(text, {});
    QApplication::sendEvent(view, &event);
}

void drop(SSMLTextView *view, int at, const QString &text) {
    QTextCursor cursor(view->document());
    cursor.setPosition(at);
    const QPoint point = view->cursorRect(cursor).center();
    QMimeData data;
    data.setText(text);
    QWidget *target = view->viewport();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropEvent(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
}

const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");

} // namespace

Q_DECLARE_METATYPE(Gesture)
Q_DECLARE_METATYPE(TextEdit)
Q_DECLARE_METATYPE(QList<TextEdit>)

class TestSSMLTextView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reports_data();
    void reports();
    void reportRecordsTheChange();
    void pasteInsertsPlainText();
    void resetTextIsNotReported();

private:
    SSMLTextView *m_view = nullptr;
    RecordingDelegate m_delegate;
};

void TestSSMLTextView::init() {
    m_view = new SSMLTextView;
    m_view->resize(500, 300);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    m_view->setSsmlDelegate(&m_delegate);
    m_delegate.reports.clear();
}

void TestSSMLTextView::cleanup() {
    delete m_view;
    m_view = nullptr;
}

void TestSSMLTextView::reports_data() {
    QTest::addColumn<QString>("initial");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QList<TextEdit>>("expected");
    QTest::addColumn<QString>("final");
    QTest::addColumn<int>("caret");

    const QString hello = QStringLiteral("Hello world");
    const auto at = [](int p) { return [p](SSMLTextView *v) { select(v, p, p); }; };
    using L = QList<TextEdit>;

    QTest::newRow("type two letters") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        QTest::keyClicks(v, "ab");
    }) << L{{5, 0, 1}, {6, 0, 1}} << "Helloab world"
                                      << 7;
    QTest::newRow("type into an empty document")
        << "" << Gesture([](SSMLTextView *v) { QTest::keyClicks(v, "x"); }) << L{{0, 0, 1}} << "x"
        << 1;
    QTest::newRow("Enter in an empty document") << "" << Gesture([](SSMLTextView *v) {
        QTest::keyClick(v, Qt::Key_Return);
    }) << L{{0, 0, 1}} << "\n" << 1;
    QTest::newRow("Enter mid-text") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        QTest::keyClick(v, Qt::Key_Return);
    }) << L{{5, 0, 1}} << "Hello\n world"
                                    << 6;
    QTest::newRow("Backspace") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        QTest::keyClick(v, Qt::Key_Backspace);
    }) << L{{4, 1, 0}} << "Hell world"
                               << 4;
    QTest::newRow("Delete before an emoji removes both halves")
        << "ab" + emoji + "cd" << Gesture([&](SSMLTextView *v) {
               at(2)(v);
               QTest::keyClick(v, Qt::Key_Delete);
           })
        << L{{2, 2, 0}} << "abcd" << 2;
    QTest::newRow("type w over the selected wor") << hello << Gesture([](SSMLTextView *v) {
        select(v, 6, 9);
        QTest::keyClicks(v, "w");
    }) << L{{6, 3, 1}} << "Hello wld" << 7;
    QTest::newRow("select all, type H") << hello << Gesture([](SSMLTextView *v) {
        QTest::keySequence(v, QKeySequence::SelectAll);
        QTest::keyClicks(v, "H");
    }) << L{{0, 11, 1}} << "H" << 1;
    QTest::newRow("cut a selection") << hello << Gesture([](SSMLTextView *v) {
        select(v, 5, 11);
        QTest::keySequence(v, QKeySequence::Cut);
    }) << L{{5, 6, 0}} << "Hello" << 5;
    QTest::newRow("paste into an empty document")
        << "" << Gesture([](SSMLTextView *v) { paste(v, "ab"); }) << L{{0, 0, 2}} << "ab" << 2;
    QTest::newRow("multi-line paste at the caret") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        paste(v, "ab\ncd\n");
    }) << L{{5, 0, 6}} << "Helloab\ncd\n world" << 11;
    QTest::newRow("multi-line paste over a selection") << hello << Gesture([](SSMLTextView *v) {
        select(v, 0, 5);
        paste(v, "ab\ncd");
    }) << L{{0, 5, 5}} << "ab\ncd world" << 5;
    QTest::newRow("paste a word over the same word") << hello << Gesture([](SSMLTextView *v) {
        select(v, 6, 11);
        paste(v, "world");
    }) << L{{6, 5, 5}} << hello << 11;
    QTest::newRow("paste with Windows line breaks") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        paste(v, "ab\r\ncd");
    }) << L{{5, 0, 5}} << "Helloab\ncd world" << 10;
    QTest::newRow("input method commits an emoji") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        commit(v, emoji);
    }) << L{{5, 0, 2}} << "Hello" + emoji + " world"
                                                   << 7;
    QTest::newRow("input method pre-edit, then commit") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        preedit(v, "ni");
        commit(v, QString::fromUtf8("你"));
    }) << L{{5, 0, 1}} << QString::fromUtf8("Hello你 world")
                                                        << 6;
    QTest::newRow("undo two typed letters, then redo") << hello << Gesture([&](SSMLTextView *v) {
        at(5)(v);
        QTest::keyClicks(v, "ab");
        QTest::keySequence(v, QKeySequence::Undo);
        QTest::keySequence(v, QKeySequence::Redo);
    }) << L{{5, 0, 1}, {6, 0, 1}, {5, 2, 0}, {5, 0, 2}} << "Helloab world"
                                                       << 7;
    QTest::newRow("undo a paste into an empty document") << "" << Gesture([](SSMLTextView *v) {
        paste(v, "ab");
        QTest::keySequence(v, QKeySequence::Undo);
    }) << L{{0, 0, 2}, {0, 2, 0}} << "" << 0;
    QTest::newRow("undo typing over a selection") << hello << Gesture([](SSMLTextView *v) {
        select(v, 6, 11);
        QTest::keyClicks(v, "x");
        QTest::keySequence(v, QKeySequence::Undo);
    }) << L{{6, 5, 1}, {6, 1, 5}} << hello << 11;
    QTest::newRow("drop text from elsewhere")
        << hello << Gesture([](SSMLTextView *v) { drop(v, 6, "dear "); }) << L{{6, 0, 5}}
        << "Hello dear world" << -1;
    QTest::newRow("a format change is no edit") << hello << Gesture([](SSMLTextView *v) {
        QTextCursor cursor(v->document());
        cursor.setPosition(2);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontItalic(true);
        cursor.mergeCharFormat(format);
    }) << L{} << hello << -1;
    QTest::newRow("insertText replaces the selection") << hello << Gesture([](SSMLTextView *v) {
        select(v, 2, 4);
        v->insertText(QString(QChar(0x23F8)));
    }) << L{{2, 2, 1}} << QString("He%1o world").arg(QChar(0x23F8))
                                                       << 3;
}

void TestSSMLTextView::reports() {
    QFETCH(QString, initial);
    QFETCH(Gesture, gesture);
    QFETCH(QList<TextEdit>, expected);
    QFETCH(QString, final);
    QFETCH(int, caret);

    m_view->resetText(initial);
    m_view->setFocus();
    gesture(m_view);

    QList<TextEdit> edits;
    for (const Report &report : std::as_const(m_delegate.reports))
        edits << report.edit;
    QCOMPARE(edits, expected);
    QCOMPARE(m_view->toPlainText(), final);
    if (!m_delegate.reports.isEmpty())
        QCOMPARE(m_delegate.reports.last().text, final);
    if (caret >= 0)
        QCOMPARE(m_view->textCursor().position(), caret);
}

void TestSSMLTextView::reportRecordsTheChange() {
    m_view->resetText(QStringLiteral("Hello world"));
    select(m_view, 6, 11);
    QTest::keyClicks(m_view, "W");
    QCOMPARE(m_view->isDelete(), false);
    QCOMPARE(m_view->affectedRanges(), (QList<std::pair<qint64, qint64>>{{6, 5}}));
    QCOMPARE(m_view->replacementStrings(), QStringList{QStringLiteral("W")});
    QTest::keyClick(m_view, Qt::Key_Backspace);
    QCOMPARE(m_view->isDelete(), true);
    QCOMPARE(m_view->replacementStrings(), QStringList{QString()});
    QCOMPARE(m_delegate.reports.last().replacement, QString());
}

void TestSSMLTextView::pasteInsertsPlainText() {
    m_view->resetText(QStringLiteral("ab"));
    select(m_view, 1, 1);
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b style='background:red'>bold</b>"));
    data->setText(QStringLiteral("bold"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keySequence(m_view, QKeySequence::Paste);
    QCOMPARE(m_view->toPlainText(), QStringLiteral("abboldb").remove(2, 1));
    const QTextBlock block = m_view->document()->firstBlock();
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        QVERIFY(!it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush));
        QVERIFY(it.fragment().charFormat().fontWeight() <= QFont::Normal);
    }
    QCOMPARE(m_delegate.reports.size(), 1);
    QCOMPARE(m_delegate.reports.first().edit, (TextEdit{1, 0, 4}));
}

void TestSSMLTextView::resetTextIsNotReported() {
    m_view->resetText(QStringLiteral("New text"));
    QVERIFY(m_delegate.reports.isEmpty());
    QVERIFY(!m_view->document()->isUndoAvailable());
    QTest::keyClick(m_view, Qt::Key_End);
    QTest::keyClicks(m_view, "!");
    QCOMPARE(m_delegate.reports.size(), 1);
    QCOMPARE(m_delegate.reports.first().edit, (TextEdit{8, 0, 1}));
}

QTEST_MAIN(TestSSMLTextView)
#include "tst_ssmltextview.moc"
