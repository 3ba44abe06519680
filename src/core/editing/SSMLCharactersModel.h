#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace parlino {

// One speech effect over a stretch of the text. Offsets are UTF-16 code units
// of the editor's string. A Break span has no colour (an invalid QColor).
struct SSMLCharactersModel {
    qint64 location = 0;
    qint64 length = 0;
    QString effects; // the effect name, one of the seven kind names
    QColor color;    // highlight colour; invalid for Break
    QString ssmlTag; // the effect's value, e.g. "strong", "dmy", "2"

    qint64 end() const { return location + length; }
    bool operator==(const SSMLCharactersModel &other) const;
    bool operator!=(const SSMLCharactersModel &other) const { return !(*this == other); }
};

// The ordered span list of one text. Sorted by ascending end after every
// addition; list order decides how markup nests.
using EffectsArray = QList<SSMLCharactersModel>;

} // namespace parlino
