#include "editing/TextEdit.h"

namespace parlino {

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

} // namespace parlino
