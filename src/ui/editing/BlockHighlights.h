#pragma once

#include "editing/SSMLTextView.h"

#include <QColor>
#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QTextBlock>
#include <QTextLayout>

#include <utility>

class QPainter;

namespace parlino {

// The highlights on one block's lines in view: the pixels they cover, in
// painting order, the glyphs of their characters, and the block's text
// drawn with them.
class BlockHighlights {
public:
    // The block is painted at offset (as QPlainTextEdit places it); lines
    // outside clip are left out.
    BlockHighlights(const QTextBlock &block, const QPointF &offset, const QRect &clip,
                    const SSMLTextView::HighlightSource &source);

    const QTextBlock &block() const { return m_block; }
    const QPointF &offset() const { return m_offset; }
    bool isEmpty() const { return m_areas.isEmpty(); }

    // The block's text with its selections (as QTextLayout::draw takes them)
    // in the painter's pen, and the highlights with their text in textColor.
    void draw(QPainter &painter, const QList<QTextLayout::FormatRange> &selections,
              const QRect &clip, const QColor &textColor) const;

private:
    void addLine(const QTextLine &line, int from, int to, const QColor &color, const QString &text);
    bool meets(const QList<QTextLayout::FormatRange> &selections) const;

    QTextBlock m_block;
    QPointF m_offset;
    QList<std::pair<QRect, QColor>> m_areas;
    QList<QGlyphRun> m_runs;
    QList<std::pair<int, int>> m_ranges; // in the block
};

} // namespace parlino
