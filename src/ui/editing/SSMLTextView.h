#pragma once

#include "editing/TextEdit.h"

#include <QColor>
#include <QList>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>
#include <optional>
#include <utility>

class QPainter;

namespace parlino {

class BlockHighlights;
class SSMLTextViewDelegate;

// The editor: a plain-text edit that learns every change of its text as
// (location, removed, inserted) in UTF-16 code units and reports it to its
// ssml_delegate. Where the user's gesture is known (a key press, a paste, an
// input-method commit, a drop) the selection is recorded before the change
// and the edit is "the selection was replaced"; for everything else (undo,
// redo, programmatic edits) the document's change window is trimmed against
// the previous text.
class SSMLTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    // A stretch [start, end) painted in a colour behind its characters, whose
    // text is then drawn in highlightedTextColor().
    struct Highlight {
        qint64 start = 0;
        qint64 end = 0;
        QColor color;
    };
    // The highlights that meet [from, to); a later one is painted over an earlier one.
    using HighlightSource = std::function<QList<Highlight>(qint64 from, qint64 to)>;

    explicit SSMLTextView(QWidget *parent = nullptr);

    // Highlights are painted, never stored in the document: the text is laid
    // out and shaped as if it had none, which keeps opening a text with many
    // highlights as fast as opening it without.
    void setHighlightSource(HighlightSource source);
    // The source's answers have changed: paints them again.
    void highlightsChanged();
    QList<Highlight> highlights(qint64 from, qint64 to) const;
    // The colours are light: the text on them stays dark in a dark theme too.
    static QColor highlightedTextColor() { return QColor(0x1a, 0x1a, 0x1a); }

    SSMLTextViewDelegate *ssmlDelegate() const { return m_delegate; }
    // Not owned; the delegate must outlive the view or be cleared first.
    void setSsmlDelegate(SSMLTextViewDelegate *delegate) { m_delegate = delegate; }

    // The latest change, as reported: set before the delegate is called.
    bool isDelete() const { return m_isDelete; }
    QList<std::pair<qint64, qint64>> affectedRanges() const { return m_affectedRanges; }
    QStringList replacementStrings() const { return m_replacementStrings; }

    // Replaces the selection with text as one undoable user edit (the pause
    // glyph goes in this way), reported like typing.
    void insertText(const QString &text);
    // Replaces the whole text without reporting an edit.
    void resetText(const QString &text);
    // Replaces [location, location + removed) by inserted without reporting an
    // edit (undo and redo of the session), and puts the caret after it.
    void replaceText(qint64 location, qint64 removed, const QString &inserted);
    // Whether the latest reported edit came from typed keys (characters,
    // Return, Backspace, Delete), which join one undo step when in a row.
    bool lastEditWasTyped() const { return m_lastEditTyped; }
    // Undo and Redo offered in the context menu.
    void setUndoRedoAvailable(bool undo, bool redo);

    // A hint shown while the text is empty, in the application's font (the
    // text may be larger): Qt's placeholder text would be set in the text's
    // font, one more font size to load and rasterise before the first paint.
    QString emptyHint() const { return m_emptyHint; }
    void setEmptyHint(const QString &hint);

    // The font of the text. While the text is empty it waits for
    // applyTextFont() or for text: the empty view draws only its hint, and a
    // second font size costs a font match and its own glyphs, which the
    // window's first paint need not wait for.
    void setTextFont(const QFont &font);
    void applyTextFont();

    // Selection as (start, length) in UTF-16 code units.
    qint64 selectionStart() const;
    qint64 selectionLength() const;

signals:
    // The undo history lives in the session: these keys and the context menu ask for it.
    void undoRequested();
    void redoRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct Selection {
        qint64 start = 0;
        qint64 length = 0;
    };
    // Records the current selection for the change that the gesture makes.
    class GestureScope;

    // The text, selections and caret with the highlights under them; false
    // when no highlight is in view, and nothing was painted.
    bool paintHighlighted(QPaintEvent *event);
    void drawBlock(QPainter &painter, const BlockHighlights &highlights, const QRect &clip,
                   const QAbstractTextDocumentLayout::PaintContext &context);
    QList<QTextLayout::FormatRange>
    blockSelections(const QTextBlock &block,
                    const QAbstractTextDocumentLayout::PaintContext &context) const;
    void paintEmptyHint(QPaintEvent *event);
    // The blocks in view keep their shaped text while they are in view:
    // otherwise each drawing of them (a highlight pass, the caret's blink) and
    // each caret placement shapes their text again.
    void keepShapedTextInView();
    void releaseShapedText();
    void onContentsChange(int position, int removed, int added);
    void layOutOnceAfterReset(int position);
    void report(const TextEdit &edit, const QString &newText);

    SSMLTextViewDelegate *m_delegate = nullptr;
    QString m_previousText;
    QString m_emptyHint;
    std::optional<QFont> m_pendingFont;
    HighlightSource m_highlightSource;
    QList<int> m_shapedBlocks; // the numbers of the blocks keeping their shaped text
    std::optional<Selection> m_gesture;
    bool m_typing = false;
    bool m_lastEditTyped = false;
    bool m_undoAvailable = false;
    bool m_redoAvailable = false;
    bool m_silent = false;
    bool m_isDelete = false;
    QList<std::pair<qint64, qint64>> m_affectedRanges;
    QStringList m_replacementStrings;
};

} // namespace parlino
