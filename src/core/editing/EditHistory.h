#pragma once

#include "editing/SSMLCharactersModel.h"

#include <QList>
#include <QString>

namespace parlino {

// One undoable step: the text change it made, if any, and the span list
// before and after it. Undoing puts removedText back in place of
// insertedText at location and restores spansBefore; redoing does the reverse.
struct EditStep {
    qint64 location = 0;
    QString removedText;
    QString insertedText;
    EffectsArray spansBefore;
    EffectsArray spansAfter;
    bool typed = false; // typed keys in a row join one step

    bool changesText() const { return !removedText.isEmpty() || !insertedText.isEmpty(); }
};

// The editor's one undo history for text and spans together. Typed keys in a
// row join the step before them as the text view groups them: characters
// typed one after the other, Backspaces and Deletes in a row; any other step
// (a paste, a drop, an effect) stands alone.
class EditHistory {
public:
    // Adds a step after the current one, dropping whatever could be redone.
    void record(const EditStep &step);
    // Lets the latest step end with these spans (a pause joins its glyph's step).
    void amendLast(const EffectsArray &spansAfter);

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_steps.size(); }
    // The step to revert or to do again; the history moves past it.
    const EditStep &undo();
    const EditStep &redo();

    void clear();
    // The current place is what was saved; a step away from it is a change.
    void markClean();
    bool isClean() const { return m_clean == m_index; }

private:
    bool joinsLast(const EditStep &step) const;

    QList<EditStep> m_steps;
    qsizetype m_index = 0; // steps before this one are done
    qsizetype m_clean = 0; // -1: the saved place can no longer be reached
};

} // namespace parlino
