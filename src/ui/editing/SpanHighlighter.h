#pragma once

#include "editing/SSMLCharactersModel.h"
#include "editing/SSMLTextView.h"

namespace parlino {

// The effect spans' colours, which the text view paints behind their
// characters. It reads the span list and keeps nothing in the document:
// highlights never enter the undo history, never bleed into text typed next
// to a span, a removed span leaves no colour behind, and the text is laid out
// as if it had none. Break spans are not highlighted.
class SpanHighlighter {
public:
    // spans must outlive the highlighter.
    explicit SpanHighlighter(const EffectsArray *spans);

    // The coloured spans that meet [from, to), in list order: a later one is
    // painted over an earlier one.
    QList<SSMLTextView::Highlight> highlights(qint64 from, qint64 to) const;

private:
    const EffectsArray *m_spans;
};

} // namespace parlino
