#pragma once

#include "editing/SSMLCharactersModel.h"

#include <QSyntaxHighlighter>

namespace parlino {

// Paints the effect spans' colours behind their characters. It reads the span
// list and keeps nothing in the document: highlights never enter the undo
// history, never bleed into text typed next to a span, and a removed span
// leaves no colour behind. Break spans are not highlighted.
class SpanHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    // spans must outlive the highlighter.
    SpanHighlighter(const EffectsArray *spans, QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;

private:
    const EffectsArray *m_spans;
};

} // namespace parlino
