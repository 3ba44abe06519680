#pragma once

#include "editing/TextEdit.h"

#include <QString>

#include <optional>

namespace parlino {

// Turning the document's change reports into exact edits. All offsets are
// UTF-16 code units of the plain text.

// The edit that turned `before` into `after`, found inside the window
// (position, removed, added) that the document reported: the window is
// clamped to both strings (the document's trailing block separator is not
// part of the text), the common head and tail inside the window are trimmed
// off, and the result is widened so it never splits a surrogate pair. A window
// that does not explain the change falls back to a whole-string comparison.
// Equal strings give an empty edit (removed == inserted == 0).
TextEdit trimEditWindow(const QString &before, const QString &after, qint64 position,
                        qint64 removed, qint64 added);

// The edit "the selection [start, start + length) of `before` was replaced"
// when that explains `after` exactly, otherwise nothing. Used when the
// selection was recorded before a user's gesture (typing, paste, input
// method, drop), whose alignment the trimmed window can get wrong (typing
// "w" over a selected "wor").
std::optional<TextEdit> replacementOfSelection(const QString &before, const QString &after,
                                               qint64 start, qint64 length);

} // namespace parlino
