#pragma once

#include <QList>
#include <QStringList>

#include <utility>

namespace parlino {

// One edit of the text as (location, removed, inserted): the stretch
// [location, location + removed) of the old text was replaced by `inserted`
// new units. All counts are UTF-16 code units.
struct TextEdit {
    qint64 location = 0; // start of the replaced stretch, in the text before the edit
    qint64 removed = 0;  // UTF-16 units removed
    qint64 inserted = 0; // UTF-16 units inserted

    qint64 removedEnd() const { return location + removed; }
    bool operator==(const TextEdit &other) const {
        return location == other.location && removed == other.removed && inserted == other.inserted;
    }

    // From the first affected range (location, length) and the first replacement
    // string; later entries are ignored. No range gives an empty edit.
    static TextEdit fromRanges(const QList<std::pair<qint64, qint64>> &affectedRanges,
                               const QStringList &replacementStrings);
};

} // namespace parlino
