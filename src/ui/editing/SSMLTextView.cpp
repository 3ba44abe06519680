#include "editing/SSMLTextView.h"

#include "editing/BlockHighlights.h"
#include "editing/EditWindow.h"
#include "editing/SSMLTextViewDelegate.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <utility>

namespace parlino {

// Records the selection for the duration of one gesture; nested scopes (a drop
// calls insertFromMimeData) restore the outer record when they end.
class SSMLTextView::GestureScope {
public:
    GestureScope(SSMLTextView *view, qint64 start, qint64 length)
        : m_view(view)
        , m_outer(view->m_gesture) {
        view->m_gesture = Selection{start, length};
    }
    explicit GestureScope(SSMLTextView *view)
        : GestureScope(view, view->selectionStart(), view->selectionLength()) {}
    ~GestureScope() { m_view->m_gesture = m_outer; }
    GestureScope(const GestureScope &) = delete;
    GestureScope &operator=(const GestureScope &) = delete;

private:
    SSMLTextView *m_view;
    std::optional<Selection> m_outer;
};

SSMLTextView::SSMLTextView(QWidget *parent)
    : QPlainTextEdit(parent) {
    // Connected here, before anybody can attach a highlighter to the document,
    // so the spans are updated before the edited blocks are highlighted again.
    connect(document(), &QTextDocument::contentsChange, this, &SSMLTextView::onContentsChange);
    // One history for the text and the spans is kept by the session; the
    // document's own would restore the text without the spans.
    setUndoRedoEnabled(false);
    // A tab means nothing to a voice: Tab moves on, Ctrl+Tab types one.
    setTabChangesFocus(true);
    // A scroll bar that comes and goes narrows the text and lays every
    // paragraph out again: with a long highlighted text that doubled the cost
    // of opening it, and the text jumped while typing at the bottom.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

qint64 SSMLTextView::selectionStart() const {
    return textCursor().selectionStart();
}

qint64 SSMLTextView::selectionLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void SSMLTextView::insertText(const QString &text) {
    applyTextFont();
    GestureScope gesture(this);
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void SSMLTextView::resetText(const QString &text) {
    applyTextFont();
    releaseShapedText();
    m_silent = true;
    setPlainText(text);
    m_previousText = toPlainText();
    m_silent = false;
}

void SSMLTextView::keepShapedTextInView() {
    QList<int> inView;
    const int height = viewport()->height();
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid() && offset.y() <= height;
         block = block.next()) {
        offset.ry() += blockBoundingRect(block).height();
        if (!block.isVisible())
            continue;
        inView.append(block.blockNumber());
        block.layout()->setCacheEnabled(true);
    }
    m_shapedBlocks.removeIf([&inView](int number) { return inView.contains(number); });
    releaseShapedText();
    m_shapedBlocks = inView;
}

void SSMLTextView::releaseShapedText() {
    if (m_shapedBlocks.isEmpty())
        return;
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    for (const int number : std::exchange(m_shapedBlocks, {})) {
        const QTextBlock block = document()->findBlockByNumber(number);
        if (!block.isValid())
            continue;
        QTextLayout *layout = block.layout();
        layout->setCacheEnabled(false);
        // Drawing, here no line at all, lets a layout without a cache throw
        // its shaped text away; there is no other way to ask for that.
        layout->draw(&painter, QPointF(0, 1e6), {}, QRectF(0, 0, 1, 1));
    }
}

void SSMLTextView::setEmptyHint(const QString &hint) {
    m_emptyHint = hint;
    viewport()->update();
}

void SSMLTextView::setHighlightSource(HighlightSource source) {
    m_highlightSource = std::move(source);
    highlightsChanged();
}

void SSMLTextView::highlightsChanged() {
    viewport()->update();
}

QList<SSMLTextView::Highlight> SSMLTextView::highlights(qint64 from, qint64 to) const {
    return m_highlightSource ? m_highlightSource(from, to) : QList<Highlight>();
}

void SSMLTextView::setTextFont(const QFont &font) {
    m_pendingFont = font;
    if (!document()->isEmpty())
        applyTextFont();
}

void SSMLTextView::applyTextFont() {
    if (!m_pendingFont)
        return;
    const QFont font = *std::exchange(m_pendingFont, std::nullopt);
    setFont(font);
}

void SSMLTextView::paintEvent(QPaintEvent *event) {
    // Text typed or pasted before the font was applied: laid out again once.
    if (m_pendingFont && !document()->isEmpty())
        applyTextFont();
    keepShapedTextInView();
    if (!paintHighlighted(event))
        QPlainTextEdit::paintEvent(event);
    paintEmptyHint(event);
}

// QPlainTextEdit::paintEvent, with the highlights painted in each block and
// the text on them drawn in highlightedTextColor(). Qt's own ways of
// highlighting cost many times the text with a few hundred highlights:
// character formats split the text's shaping at every edge, and extra
// selections are each drawn through path clipping.
bool SSMLTextView::paintHighlighted(QPaintEvent *event) {
    if (!m_highlightSource || !placeholderText().isEmpty())
        return false;
    QPointF offset(contentOffset());
    QRect clip = event->rect();
    const QRect viewportRect = viewport()->rect();
    // The right margin stays clear of full-width selections.
    const qreal width = document()->documentLayout()->documentSize().width();
    const int maxX = int(offset.x() + std::max(qreal(viewportRect.width()), width) -
                         document()->documentMargin() + cursorWidth());
    clip.setRight(std::min(clip.right(), maxX));

    QList<BlockHighlights> visible;
    bool highlighted = false;
    QTextBlock block = firstVisibleBlock();
    for (; block.isValid(); block = block.next()) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        if (block.isVisible() && r.bottom() >= clip.top() && r.top() <= clip.bottom()) {
            visible.append(BlockHighlights(block, offset, clip, m_highlightSource));
            highlighted = highlighted || !visible.constLast().isEmpty();
        }
        offset.ry() += r.height();
        if (offset.y() > viewportRect.height())
            break;
    }
    if (!highlighted)
        return false;

    QPainter painter(viewport());
    painter.setBrushOrigin(contentOffset()); // where a wave underline starts
    painter.setClipRect(clip);
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    painter.setPen(context.palette.text().color());
    for (const BlockHighlights &each : visible)
        drawBlock(painter, each, clip, context);
    if (backgroundVisible() && !block.isValid() && offset.y() <= clip.bottom() &&
        (centerOnScroll() || verticalScrollBar()->maximum() == verticalScrollBar()->minimum()))
        painter.fillRect(QRect(QPoint(clip.left(), int(offset.y())), clip.bottomRight()),
                         palette().window());
    return true;
}

void SSMLTextView::drawBlock(QPainter &painter, const BlockHighlights &highlights,
                             const QRect &clip,
                             const QAbstractTextDocumentLayout::PaintContext &context) {
    const QTextBlock &block = highlights.block();
    QTextLayout *layout = block.layout();
    const QBrush background = block.blockFormat().background();
    if (background != Qt::NoBrush) {
        QRectF r = blockBoundingRect(block).translated(highlights.offset());
        r.setWidth(std::max(r.width(), document()->documentLayout()->documentSize().width()));
        painter.fillRect(r, background);
    }
    const int blpos = block.position();
    const int bllen = block.length();
    QList<QTextLayout::FormatRange> selections = blockSelections(block, context);
    const bool editable = !isReadOnly();
    const bool drawCursor = (editable || (textInteractionFlags() & Qt::TextSelectableByKeyboard)) &&
                            context.cursorPosition >= blpos &&
                            context.cursorPosition < blpos + bllen;
    // In overwrite mode the caret is a block over the next character.
    const bool drawCursorAsBlock =
        drawCursor && overwriteMode() && context.cursorPosition != blpos + bllen - 1;
    if (drawCursorAsBlock) {
        QTextLayout::FormatRange cursorBlock{context.cursorPosition - blpos, 1, {}};
        cursorBlock.format.setForeground(palette().base());
        cursorBlock.format.setBackground(palette().text());
        selections.append(cursorBlock);
    }

    highlights.draw(painter, selections, clip, highlightedTextColor());
    if ((drawCursor && !drawCursorAsBlock) ||
        (editable && context.cursorPosition < -1 && !layout->preeditAreaText().isEmpty())) {
        int position = context.cursorPosition;
        if (position < -1)
            position = layout->preeditAreaPosition() - (position + 2);
        else
            position -= blpos;
        layout->drawCursor(&painter, highlights.offset(), position, cursorWidth());
    }
}

QList<QTextLayout::FormatRange>
SSMLTextView::blockSelections(const QTextBlock &block,
                              const QAbstractTextDocumentLayout::PaintContext &context) const {
    const int blpos = block.position();
    const int bllen = block.length();
    QList<QTextLayout::FormatRange> selections;
    for (const QAbstractTextDocumentLayout::Selection &range : context.selections) {
        const int selStart = range.cursor.selectionStart() - blpos;
        const int selEnd = range.cursor.selectionEnd() - blpos;
        if (selStart < bllen && selEnd > 0 && selEnd > selStart) {
            selections.append({selStart, selEnd - selStart, range.format});
        } else if (!range.cursor.hasSelection() &&
                   range.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(range.cursor.position())) {
            // A full-width selection needs a position on the line only.
            const QTextLine line =
                block.layout()->lineForTextPosition(range.cursor.position() - blpos);
            QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
            if (whole.start + whole.length == bllen - 1)
                ++whole.length; // the paragraph separator
            selections.append(whole);
        }
    }
    return selections;
}

void SSMLTextView::paintEmptyHint(QPaintEvent *event) {
    const QTextBlock first = document()->firstBlock();
    if (m_emptyHint.isEmpty() || !document()->isEmpty() ||
        !first.layout()->preeditAreaText().isEmpty())
        return;
    // Where Qt puts its placeholder: at the document margin, wrapped.
    QPainter painter(viewport());
    painter.setClipRect(event->rect());
    painter.setFont(QApplication::font());
    painter.setPen(palette().placeholderText().color());
    const int margin = int(document()->documentMargin());
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, 0),
                     Qt::AlignTop | Qt::TextWordWrap, m_emptyHint);
}

void SSMLTextView::replaceText(qint64 location, qint64 removed, const QString &inserted) {
    applyTextFont();
    m_silent = true;
    QTextCursor cursor(document());
    cursor.setPosition(int(location));
    cursor.setPosition(int(location + removed), QTextCursor::KeepAnchor);
    cursor.insertText(inserted);
    m_previousText = toPlainText();
    m_silent = false;
    setTextCursor(cursor);
}

void SSMLTextView::setUndoRedoAvailable(bool undo, bool redo) {
    m_undoAvailable = undo;
    m_redoAvailable = redo;
}

void SSMLTextView::keyPressEvent(QKeyEvent *event) {
    // Ctrl+Y redoes as in most editors, also where the platform's Redo is
    // only Ctrl+Shift+Z.
    const bool ctrlY = event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) || ctrlY) {
        if (event->matches(QKeySequence::Undo))
            emit undoRequested();
        else
            emit redoRequested();
        event->accept();
        return;
    }
    GestureScope gesture(this);
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    const bool clipboard = event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut);
    m_typing = !clipboard;
    QPlainTextEdit::keyPressEvent(event);
    m_typing = false;
}

void SSMLTextView::contextMenuEvent(QContextMenuEvent *event) {
    QMenu *menu = createStandardContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The standard Undo and Redo ask the document, whose history is off.
    for (QAction *action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        const bool redo = action->objectName() == QLatin1String("edit-redo");
        if (!undo && !redo)
            continue;
        action->disconnect();
        action->setEnabled(undo ? m_undoAvailable : m_redoAvailable);
        connect(action, &QAction::triggered, this,
                undo ? &SSMLTextView::undoRequested : &SSMLTextView::redoRequested);
    }
    menu->popup(event->globalPos());
}

void SSMLTextView::inputMethodEvent(QInputMethodEvent *event) {
    GestureScope gesture(this);
    QPlainTextEdit::inputMethodEvent(event);
}

void SSMLTextView::dropEvent(QDropEvent *event) {
    const qint64 at = cursorForPosition(event->position().toPoint()).position();
    GestureScope gesture(this, at, 0);
    QPlainTextEdit::dropEvent(event);
}

void SSMLTextView::insertFromMimeData(const QMimeData *source) {
    // The plain-text edit inserts only the text of the data (line breaks of any
    // convention become paragraph separators), never formatting.
    GestureScope gesture(this);
    QPlainTextEdit::insertFromMimeData(source);
}

void SSMLTextView::onContentsChange(int position, int removed, int added) {
    if (m_silent) {
        layOutOnceAfterReset(position);
        return;
    }
    const QString now = toPlainText();
    std::optional<TextEdit> edit;
    if (m_gesture) {
        // A gesture may replace a selection by the same text (pasting a word
        // over itself): still an edit of that stretch.
        edit = replacementOfSelection(m_previousText, now, m_gesture->start, m_gesture->length);
        if (edit || now != m_previousText)
            m_gesture.reset(); // a gesture's later changes are trimmed like any other
    }
    // Format changes and input-method pre-edits report a change of nothing.
    if (!edit && now == m_previousText)
        return;
    if (!edit)
        edit = trimEditWindow(m_previousText, now, position, removed, added);
    m_previousText = now;
    report(*edit, now);
}

void SSMLTextView::layOutOnceAfterReset(int position) {
    // For a change inside one paragraph the plain-text layout lays that
    // paragraph out twice on the spot: once to measure its old height (the
    // highlighter has just dropped its lines) and once for the new one. A
    // change window reaching past the last paragraph takes the path that a
    // text of many paragraphs takes: the old layouts are dropped and each
    // paragraph is laid out once, when it is first needed. Opening one long
    // highlighted paragraph cost twice its layout before.
    QTextDocument *text = document();
    text->markContentsDirty(position, text->characterCount() - position + 1);
}

void SSMLTextView::report(const TextEdit &edit, const QString &newText) {
    m_lastEditTyped = m_typing;
    m_isDelete = edit.inserted == 0;
    m_affectedRanges = {{edit.location, edit.removed}};
    m_replacementStrings = {newText.mid(edit.location, edit.inserted)};
    if (m_delegate)
        m_delegate->returnDidChangeTextView(this, m_affectedRanges, m_replacementStrings, newText);
}

} // namespace parlino
