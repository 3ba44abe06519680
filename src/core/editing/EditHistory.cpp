#include "editing/EditHistory.h"

namespace parlino {

bool EditHistory::joinsLast(const EditStep &step) const {
    // Never into a step that was undone, or past the saved place.
    if (!step.typed || m_index == 0 || m_index != m_steps.size() || m_clean == m_index)
        return false;
    const EditStep &last = m_steps.at(m_index - 1);
    if (!last.typed)
        return false;
    if (step.removedText.isEmpty())
        return !last.insertedText.isEmpty() &&
               step.location == last.location + last.insertedText.size();
    if (!step.insertedText.isEmpty() || !last.insertedText.isEmpty())
        return false;
    // Backspace ends where the last deletion began; Delete starts at the same place.
    return step.location + step.removedText.size() == last.location ||
           step.location == last.location;
}

void EditHistory::record(const EditStep &step) {
    if (joinsLast(step)) {
        EditStep &last = m_steps[m_index - 1];
        if (!step.removedText.isEmpty() && step.location < last.location) {
            last.location = step.location;
            last.removedText.prepend(step.removedText);
        } else {
            last.removedText += step.removedText;
            last.insertedText += step.insertedText;
        }
        last.spansAfter = step.spansAfter;
        return;
    }
    m_steps.resize(m_index);
    if (m_clean > m_index)
        m_clean = -1;
    m_steps.append(step);
    ++m_index;
}

void EditHistory::amendLast(const EffectsArray &spansAfter) {
    if (m_index > 0)
        m_steps[m_index - 1].spansAfter = spansAfter;
}

const EditStep &EditHistory::undo() {
    Q_ASSERT(canUndo());
    return m_steps.at(--m_index);
}

const EditStep &EditHistory::redo() {
    Q_ASSERT(canRedo());
    return m_steps.at(m_index++);
}

void EditHistory::clear() {
    m_steps.clear();
    m_index = 0;
    m_clean = 0;
}

void EditHistory::markClean() {
    m_clean = m_index;
}

} // namespace parlino
