#pragma once

#include "editing/SSMLCharactersModel.h"
#include "editing/TextEdit.h"

#include <QString>

namespace parlino {

// What the view needs after an edit was tracked.
struct EditTrackingResult {
    QString statistics;         // "(%ldwords %ldcharacters)", or "" for an empty text
    bool limitExceeded = false; // true: show the alert "The length cannot exceed 5000"
};

// Keeps the effect spans on their characters while the text is edited, and
// computes the word and character statistics of the text.
class EditTracker {
public:
    static constexpr qint64 characterLimit = 5000;

    // "(Nwords Mcharacters)": words are the pieces between single spaces (U+0020),
    // characters the UTF-16 length minus the spaces; "" for an empty text.
    static QString statistics(const QString &text);
    static qint64 characterCount(const QString &text); // length minus spaces (U+0020)

    // Moves, grows, cuts and drops spans so each keeps covering its characters;
    // removes empty spans; never re-sorts; logs "hhhhh %ld - %ld" per remaining
    // span (lcEditing). Every edit is tracked, also one that exceeds the limit.
    // newText = the whole text after the edit. Every span follows the edit by
    // the same rule, wherever the caret is.
    static EditTrackingResult track(EffectsArray &spans, const TextEdit &edit,
                                    const QString &newText);
};

} // namespace parlino
