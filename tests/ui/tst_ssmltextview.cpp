#include "WidgetHelpers.h"
#include "editing/SSMLTextView.h"
#include "editing/SSMLTextViewDelegate.h"
#include "editing/TextEdit.h"

#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>

using namespace parlino;

// The text view's edit reports for real user gestures: each must be the
// exact (location, removed, inserted) of the change, once per change.
namespace {

struct Report {
    TextEdit edit;
    QString text;
};

class RecordingDelegate : public SSMLTextViewDelegate {
public:
    void returnDidChangeTextView(SSMLTextView *, const QList<std::pair<qint64, qint64>> &ranges,
                                 const QStringList &strings, const QString &text) override {
        reports.append({TextEdit::fromRanges(ranges, strings), text});
    }
    QList<Report> reports;
};

void drop(SSMLTextView *view, int at, const QString &text) {
    QTextCursor cursor(view->document());
    cursor.setPosition(at);
    const QPoint point = view->cursorRect(cursor).center();
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QDropEvent dropEvent(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &dropEvent);
}

// The shared steps, plus "commit X" and "preedit X" from an input method,
// "drop N X" from elsewhere, "italic A B" (a format change) and "insert X"
// (the view's own insertText, as the Break button uses it).
void act(SSMLTextView *view, const QString &script) {
    for (const QString &step : script.split(QStringLiteral("; "))) {
        const QString verb = step.section(u' ', 0, 0);
        const QString rest = step.section(u' ', 1);
        if (verb == u"commit" || verb == u"preedit") {
            QInputMethodEvent event(verb == u"preedit" ? rest : QString(), {});
            if (verb == u"commit")
                event.setCommitString(rest);
            QApplication::sendEvent(view, &event);
        } else if (verb == u"drop") {
            drop(view, rest.section(u' ', 0, 0).toInt(), rest.section(u' ', 1));
        } else if (verb == u"italic") {
            QTextCursor cursor(view->document());
            cursor.setPosition(rest.section(u' ', 0, 0).toInt());
            cursor.setPosition(rest.section(u' ', 1).toInt(), QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setFontItalic(true);
            cursor.mergeCharFormat(format);
        } else if (verb == u"insert") {
            view->insertText(rest);
        } else {
            perform(view, step);
        }
    }
}

const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");

} // namespace

Q_DECLARE_METATYPE(TextEdit)

class TestSSMLTextView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void reports_data();
    void reports();
    void pasteInsertsPlainText();

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
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<TextEdit>>("expected");
    QTest::addColumn<QString>("final");
    QTest::addColumn<int>("caret"); // -1: not checked
    const QString hello = QStringLiteral("Hello world");
    using L = QList<TextEdit>;

    QTest::newRow("type two letters")
        << hello << "at 5; type ab" << L{{5, 0, 1}, {6, 0, 1}} << "Helloab world" << 7;
    QTest::newRow("Enter in an empty document") << ""
                                                << "key Return" << L{{0, 0, 1}} << "\n"
                                                << 1;
    QTest::newRow("Backspace") << hello << "at 5; key Backspace" << L{{4, 1, 0}} << "Hell world"
                               << 4;
    QTest::newRow("Delete before an emoji removes both halves")
        << "ab" + emoji + "cd"
        << "at 2; key Delete" << L{{2, 2, 0}} << "abcd" << 2;
    QTest::newRow("type w over the selected wor")
        << hello << "select 6 9; type w" << L{{6, 3, 1}} << "Hello wld" << 7;
    QTest::newRow("select all, type H") << hello << "all; type H" << L{{0, 11, 1}} << "H" << 1;
    QTest::newRow("cut a selection") << hello << "select 5 11; cut" << L{{5, 6, 0}} << "Hello" << 5;
    QTest::newRow("paste into an empty document") << ""
                                                  << "paste ab" << L{{0, 0, 2}} << "ab" << 2;
    QTest::newRow("multi-line paste over a selection")
        << hello << "select 0 5; paste ab\ncd" << L{{0, 5, 5}} << "ab\ncd world" << 5;
    QTest::newRow("paste a word over the same word")
        << hello << "select 6 11; paste world" << L{{6, 5, 5}} << hello << 11;
    QTest::newRow("paste with Windows line breaks")
        << hello << "at 5; paste ab\r\ncd" << L{{5, 0, 5}} << "Helloab\ncd world" << 10;
    QTest::newRow("input method commits an emoji")
        << hello << "at 5; commit " + emoji << L{{5, 0, 2}} << "Hello" + emoji + " world" << 7;
    QTest::newRow("input method pre-edit, then commit")
        << hello << QString::fromUtf8("at 5; preedit ni; commit 你") << L{{5, 0, 1}}
        << QString::fromUtf8("Hello你 world") << 6;
    QTest::newRow("undo two typed letters, then redo")
        << hello << "at 5; type ab; undo; redo" << L{{5, 0, 1}, {6, 0, 1}, {5, 2, 0}, {5, 0, 2}}
        << "Helloab world" << 7;
    QTest::newRow("undo a paste into an empty document")
        << ""
        << "paste ab; undo" << L{{0, 0, 2}, {0, 2, 0}} << "" << 0;
    QTest::newRow("undo typing over a selection")
        << hello << "select 6 11; type x; undo" << L{{6, 5, 1}, {6, 1, 5}} << hello << 11;
    QTest::newRow("loading a text is no edit and cannot be undone")
        << hello << "undo" << L{} << hello << -1;
    QTest::newRow("drop text from elsewhere")
        << hello << "drop 6 dear " << L{{6, 0, 5}} << "Hello dear world" << -1;
    QTest::newRow("a format change is no edit") << hello << "italic 2 5" << L{} << hello << -1;
    QTest::newRow("insertText replaces the selection")
        << hello << "select 2 4; insert ⏸" << L{{2, 2, 1}} << QString::fromUtf8("He⏸o world")
        << 3;
}

void TestSSMLTextView::reports() {
    QFETCH(QString, initial);
    QFETCH(QString, script);
    QFETCH(QList<TextEdit>, expected);
    QFETCH(QString, final);
    QFETCH(int, caret);

    m_view->resetText(initial);
    m_view->setFocus();
    act(m_view, script);

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

void TestSSMLTextView::pasteInsertsPlainText() {
    m_view->resetText(QStringLiteral("ab"));
    placeCaret(m_view, 1);
    auto *data = new QMimeData;
    data->setHtml(QStringLiteral("<b style='background:red'>bold</b>"));
    data->setText(QStringLiteral("bold"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keySequence(m_view, QKeySequence::Paste);
    QCOMPARE(m_view->toPlainText(), QStringLiteral("aboldb"));
    const QTextBlock block = m_view->document()->firstBlock();
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        QVERIFY(!it.fragment().charFormat().hasProperty(QTextFormat::BackgroundBrush));
        QVERIFY(it.fragment().charFormat().fontWeight() <= QFont::Normal);
    }
    QCOMPARE(m_delegate.reports.size(), 1);
    QCOMPARE(m_delegate.reports.first().edit, (TextEdit{1, 0, 4}));
}

QTEST_MAIN(TestSSMLTextView)
#include "tst_ssmltextview.moc"
