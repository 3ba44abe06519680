#include "editing/BlockHighlights.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace parlino {

BlockHighlights::BlockHighlights(const QTextBlock &block, const QPointF &offset, const QRect &clip,
                                 const SSMLTextView::HighlightSource &source)
    : m_block(block)
    , m_offset(offset) {
    const QTextLayout *layout = block.layout();
    const qreal top = offset.y() + layout->position().y();
    int firstLine = -1;
    int lastLine = -1;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (top + line.y() + line.height() < clip.top())
            continue;
        if (top + line.y() > clip.bottom())
            break;
        if (firstLine < 0)
            firstLine = i;
        lastLine = i;
    }
    if (firstLine < 0 || !source)
        return;
    const int blpos = block.position();
    const int from = layout->lineAt(firstLine).textStart();
    const QTextLine last = layout->lineAt(lastLine);
    const int to = last.textStart() + last.textLength();
    const QString text = block.text();
    for (const SSMLTextView::Highlight &highlight : source(blpos + from, blpos + to)) {
        const int start = int(std::max<qint64>(highlight.start - blpos, from));
        const int end = int(std::min<qint64>(highlight.end - blpos, to));
        if (start >= end)
            continue;
        m_ranges.append({start, end});
        for (int i = layout->lineForTextPosition(start).lineNumber(); i >= 0 && i <= lastLine;
             ++i) {
            const QTextLine line = layout->lineAt(i);
            if (line.textStart() >= end)
                break;
            addLine(line, std::max(start, line.textStart()),
                    std::min(end, line.textStart() + line.textLength()), highlight.color, text);
        }
    }
}

void BlockHighlights::addLine(const QTextLine &line, int from, int to, const QColor &color,
                              const QString &text) {
    const QPointF origin = m_offset + m_block.layout()->position();
    const int top = qRound(origin.y() + line.y());
    const int bottom = qRound(origin.y() + line.y() + line.height());
    const auto addArea = [&](qreal left, qreal right) {
        // Rounded as QPainter fills a rectangle of fractional width.
        const QRect area(QPoint(qRound(origin.x() + left), top),
                         QPoint(qRound(origin.x() + right) - 1, bottom - 1));
        if (area.isValid())
            m_areas.append({area, color});
    };
    // The runs know where their characters are, in either direction; a tab
    // has no glyphs, only room.
    const QList<QGlyphRun> runs = line.glyphRuns(from, to - from);
    if (QStringView(text).mid(from, to - from).contains(u'\t')) {
        const qreal x1 = line.cursorToX(from);
        const qreal x2 = line.cursorToX(to);
        addArea(std::min(x1, x2), std::max(x1, x2));
    } else {
        for (const QGlyphRun &run : runs)
            addArea(run.boundingRect().left(), run.boundingRect().right());
    }
    m_runs += runs;
}

bool BlockHighlights::meets(const QList<QTextLayout::FormatRange> &selections) const {
    for (const QTextLayout::FormatRange &selection : selections) {
        for (const auto &[start, end] : m_ranges) {
            if (selection.start < end && start < selection.start + selection.length)
                return true;
        }
    }
    return false;
}

void BlockHighlights::draw(QPainter &painter, const QList<QTextLayout::FormatRange> &selections,
                           const QRect &clip, const QColor &textColor) const {
    const QTextLayout *layout = m_block.layout();
    if (m_areas.isEmpty()) {
        layout->draw(&painter, m_offset, selections, clip);
        return;
    }
    const QPen pen = painter.pen();
    if (!meets(selections)) {
        // The text, then the highlights over it with their characters again.
        layout->draw(&painter, m_offset, selections, clip);
        for (const auto &[area, color] : m_areas)
            painter.fillRect(area, color);
        painter.setPen(textColor);
        const QPointF origin = m_offset + layout->position();
        for (const QGlyphRun &run : m_runs)
            painter.drawGlyphRun(origin, run);
    } else {
        // A selection (or the spoken word's mark) goes over the highlights:
        // the highlights first, then the text with its selections twice,
        // around the highlights and on them in their text colour.
        QRegion highlighted;
        for (const auto &[area, color] : m_areas) {
            painter.fillRect(area, color);
            highlighted += area;
        }
        painter.setClipRegion(QRegion(clip).subtracted(highlighted));
        layout->draw(&painter, m_offset, selections, clip);
        painter.setClipRegion(highlighted.intersected(clip));
        painter.setPen(textColor);
        layout->draw(&painter, m_offset, selections, highlighted.boundingRect());
        painter.setClipRect(clip);
    }
    painter.setPen(pen);
}

} // namespace parlino
