#pragma once

#include <QSet>
#include <QString>

#include <optional>

namespace parlino {

// The language, voice, pitch and speed the editor used last, and the
// favourite voices, kept in the settings so the next launch starts there.
// The engine is kept by its own setting. A launch with nothing stored
// starts at the start-up choice.
struct RememberedChoices {
    QString language;
    QString voice;
    std::optional<int> pitch;
    std::optional<int> speed;
    // Read with the rest; saved on their own, by saveFavourites().
    QSet<QString> favourites;

    static RememberedChoices load();
    void save() const;

    static void saveFavourites(const QSet<QString> &favourites);
};

} // namespace parlino
