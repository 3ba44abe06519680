#include "editing/SpanHighlighter.h"

namespace parlino {

SpanHighlighter::SpanHighlighter(const EffectsArray *spans)
    : m_spans(spans) {}

QList<SSMLTextView::Highlight> SpanHighlighter::highlights(qint64 from, qint64 to) const {
    QList<SSMLTextView::Highlight> found;
    for (const SSMLCharactersModel &span : *m_spans) {
        if (span.color.isValid() && span.location < to && span.end() > from && span.length > 0)
            found.append({span.location, span.end(), span.color});
    }
    return found;
}

} // namespace parlino
