#include "editing/TextEdit.h"

TextEdit TextEdit::fromRanges(const QList<std::pair<qint64, qint64>> &affectedRanges,
                              const QStringList &replacementStrings) {
    TextEdit edit;
    if (!affectedRanges.isEmpty()) {
        edit.location = affectedRanges.first().first;
        edit.removed = affectedRanges.first().second;
    }
    if (!replacementStrings.isEmpty())
        edit.inserted = replacementStrings.first().size();
    return edit;
}
