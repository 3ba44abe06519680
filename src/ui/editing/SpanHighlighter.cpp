#include "editing/SpanHighlighter.h"

#include <QTextBlock>
#include <QTextCharFormat>

#include <algorithm>

namespace parlino {

SpanHighlighter::SpanHighlighter(const EffectsArray *spans, QTextDocument *document)
    : QSyntaxHighlighter(document)
    , m_spans(spans) {}

void SpanHighlighter::highlightBlock(const QString &text) {
    // Offsets are UTF-16 code units; a block starts at its document position and
    // the paragraph separator after it is not part of text.
    const qint64 blockStart = currentBlock().position();
    const qint64 blockEnd = blockStart + text.size();
    for (const SSMLCharactersModel &span : *m_spans) {
        if (!span.color.isValid())
            continue;
        const qint64 from = std::max(span.location, blockStart);
        const qint64 to = std::min(span.end(), blockEnd);
        if (from >= to)
            continue;
        QTextCharFormat format;
        format.setBackground(span.color);
        // The colours are light: keep the text dark on them in a dark theme too.
        format.setForeground(QColor(0x1a, 0x1a, 0x1a));
        setFormat(int(from - blockStart), int(to - from), format);
    }
}

} // namespace parlino
