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

// The box of each of the first line's characters [from, to), where its glyphs are
// whatever the direction, in the viewport.
QList<QRect> characterBoxes(SSMLTextView *view, int from, int to) {
    const QTextLine line = view->document()->firstBlock().layout()->lineAt(0);
    const QRect caret = view->cursorRect(QTextCursor(view->document()));
    QList<QRect> boxes;
    for (int i = from; i < to; ++i) {
        const QRectF run = line.glyphRuns(i, 1).value(0).boundingRect();
        boxes << QRect(
            QPoint(int(run.left() + caret.left() - line.cursorToX(0)) + 1, caret.top()),
            QPoint(int(run.right() + caret.left() - line.cursorToX(0)) - 1, caret.bottom()));
    }
    return boxes;
}

// The colour painted behind each character of the first line, the most
// frequent one in its box: invalid where the text's own base shows.
QList<QColor> paintedBackgrounds(SSMLTextView *view) {
    const QImage image = view->viewport()->grab().toImage();
    QList<QColor> colours;
    for (const QRect &box : characterBoxes(view, 0, view->document()->characterCount() - 1)) {
        QHash<QRgb, int> counts;
        for (int x = box.left(); x <= box.right(); ++x) {
            for (int y = box.top(); y <= box.bottom(); ++y)
                ++counts[image.pixel(x, y)];
        }
        const auto most = std::max_element(counts.cbegin(), counts.cend());
        const QColor colour = most == counts.cend() ? QColor() : QColor(most.key());
        colours << (colour == view->palette().base().color() ? QColor() : colour);
    }
    return colours;
}

// The darkest pixel painted over the first line's characters [from, to).
QColor darkest(SSMLTextView *view, int from, int to) {
    const QImage image = view->viewport()->grab().toImage();
    QColor dark = Qt::white;
    for (const QRect &box : characterBoxes(view, from, to)) {
        for (int x = box.left(); x <= box.right(); ++x) {
            for (int y = box.top(); y <= box.bottom(); ++y) {
                if (image.pixelColor(x, y).lightness() < dark.lightness())
                    dark = image.pixelColor(x, y);
            }
        }
    }
    return dark;
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
    void textFontWaitsForText();
    void paintsHighlights_data();
    void paintsHighlights();

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

// The text's font is not loaded for an empty view; it comes before loaded
// text, so that is laid out once, and with the first paint of typed text.
void TestSSMLTextView::textFontWaitsForText() {
    QFont large = m_view->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    m_view->setTextFont(large);
    m_view->repaint();
    QVERIFY(m_view->font() != large);
    m_view->resetText(QStringLiteral("loaded"));
    QCOMPARE(m_view->font(), large);

    SSMLTextView typed;
    typed.setTextFont(large);
    typed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&typed));
    QVERIFY(typed.font() != large);
    QTest::keyClicks(&typed, QStringLiteral("a"));
    QTRY_COMPARE(typed.font(), large);
}

// Highlights are painted behind their characters, a later one over an
// earlier one, in either direction of text, with the selection over them.
void TestSSMLTextView::paintsHighlights_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("highlights"); // "start end colour", ";"-separated
    QTest::addColumn<int>("selectFrom");
    QTest::addColumn<int>("selectTo");
    QTest::addColumn<QString>("painted"); // "selection" stands for the selection's colour
    QTest::newRow("one word") << "abc def ghi"
                              << "4 7 #d5e9e2" << 0 << 0 << "[4,7) #d5e9e2";
    QTest::newRow("later over earlier")
        << "abc def ghi"
        << "2 9 #f5e6a3;4 7 #a6d8f0" << 0 << 0 << "[2,4) #f5e6a3 [4,7) #a6d8f0 [7,9) #f5e6a3";
    QTest::newRow("selection over a highlight")
        << "abc def ghi"
        << "2 9 #f5e6a3" << 5 << 7 << "[2,5) #f5e6a3 [5,7) selection [7,9) #f5e6a3";
    QTest::newRow("right to left") << "אבג דהו זחט"
                                   << "4 7 #d5e9e2" << 0 << 0 << "[4,7) #d5e9e2";
    QTest::newRow("across a change of direction") << "abc אבג def"
                                                  << "2 6 #d5e9e2" << 0 << 0 << "[2,6) #d5e9e2";
}

void TestSSMLTextView::paintsHighlights() {
    QFETCH(QString, text);
    QFETCH(QString, highlights);
    QFETCH(int, selectFrom);
    QFETCH(int, selectTo);
    QFETCH(QString, painted);
    QList<SSMLTextView::Highlight> list;
    for (const QString &each : highlights.split(u';')) {
        const QStringList f = each.split(u' ');
        list.append({f.at(0).toLongLong(), f.at(1).toLongLong(), QColor(f.at(2))});
    }
    m_view->setHighlightSource([list](qint64, qint64) { return list; });
    m_view->resetText(text);
    QTextCursor cursor(m_view->document());
    cursor.setPosition(selectFrom);
    cursor.setPosition(selectTo, QTextCursor::KeepAnchor);
    m_view->setTextCursor(cursor);
    const QString selection = m_view->palette().highlight().color().name();
    QCOMPARE(colourRuns(paintedBackgrounds(m_view)).join(u' '),
             QString(painted).replace(QStringLiteral("selection"), selection));
    if (selectFrom == selectTo && list.size() == 1) {
        const int from = int(list.first().start);
        const int to = int(list.first().end);
        // Glyphs stop short of full cover here and there: the darkest pixel
        // is the text colour give or take a few levels.
        const auto near = [](const QColor &a, const QColor &b) {
            return std::abs(a.lightness() - b.lightness()) <= 6;
        };
        QVERIFY(near(darkest(m_view, from, to), SSMLTextView::highlightedTextColor()));
        QVERIFY(near(darkest(m_view, 0, 2), m_view->palette().text().color()));
    }
}

QTEST_MAIN(TestSSMLTextView)
#include "tst_ssmltextview.moc"
