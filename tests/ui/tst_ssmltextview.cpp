#include "GoldenData.h"
#include "WidgetHelpers.h"
#include "editing/SSMLTextView.h"
#include "editing/SSMLTextViewDelegate.h"
#include "editing/TextEdit.h"

#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
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
    void resetLaysOutLongParagraph();

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
    const auto unescape = [](QString text) {
        return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\r"), QStringLiteral("\r"));
    };
    for (const QStringList &f : goldenTable(PARLINO_TEST_DATA "/ui/textview-reports.txt")) {
        QList<TextEdit> edits;
        for (const QString &edit : f.at(3).split(u';', Qt::SkipEmptyParts)) {
            const QStringList n = edit.split(u' ', Qt::SkipEmptyParts);
            edits.append({n.at(0).toLongLong(), n.at(1).toLongLong(), n.at(2).toLongLong()});
        }
        QTest::newRow(qPrintable(f.at(0))) << unescape(f.at(1)) << unescape(f.at(2)) << edits
                                           << unescape(f.at(4)) << f.at(5).toInt();
    }
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

void TestSSMLTextView::resetLaysOutLongParagraph() {
    // One paragraph many times taller than the view, as a loaded document brings.
    const QString text =
        QStringLiteral("The town lives by the tides of a slow river. ").repeated(80);
    m_view->resetText(text);
    const QTextBlock block = m_view->document()->firstBlock();
    QTRY_VERIFY(block.layout()->lineCount() > 20);
    QCOMPARE(block.lineCount(), block.layout()->lineCount());
    for (int i = 0; i < block.layout()->lineCount(); ++i)
        QVERIFY(block.layout()->lineAt(i).naturalTextWidth() <= m_view->viewport()->width());
    // The scroll range reaches the last line.
    m_view->moveCursor(QTextCursor::End);
    QVERIFY(m_view->verticalScrollBar()->value() > 0);
    QVERIFY(m_view->viewport()->rect().contains(m_view->cursorRect()));
    QVERIFY(m_delegate.reports.isEmpty());
}

QTEST_MAIN(TestSSMLTextView)
#include "tst_ssmltextview.moc"
