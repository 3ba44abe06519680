#include "settings/RememberedChoices.h"

#include "catalogue/KeyOrder.h"
#include "settings/Settings.h"

#include <QSettings>
#include <QStringList>

namespace parlino {

namespace {

std::optional<int> storedNumber(const QSettings &store, Settings::Key key) {
    bool ok = false;
    const int value = Settings::value(store, key).toString().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

RememberedChoices RememberedChoices::load() {
    // One store for the five values: opening one costs more than reading it.
    const auto store = Settings::open();
    RememberedChoices choices;
    choices.language = Settings::value(*store, Settings::Key::Language).toString();
    choices.voice = Settings::value(*store, Settings::Key::Voice).toString();
    choices.pitch = storedNumber(*store, Settings::Key::Pitch);
    choices.speed = storedNumber(*store, Settings::Key::Speed);
    const QStringList names = Settings::value(*store, Settings::Key::FavouriteVoices)
                                  .toString()
                                  .split(u' ', Qt::SkipEmptyParts);
    choices.favourites = QSet<QString>(names.cbegin(), names.cend());
    return choices;
}

void RememberedChoices::save() const {
    // One store, written once, for the four values.
    const auto store = Settings::open();
    store->setValue(Settings::name(Settings::Key::Language), language);
    store->setValue(Settings::name(Settings::Key::Voice), voice);
    if (pitch)
        store->setValue(Settings::name(Settings::Key::Pitch), QString::number(*pitch));
    if (speed)
        store->setValue(Settings::name(Settings::Key::Speed), QString::number(*speed));
}

void RememberedChoices::saveFavourites(const QSet<QString> &favourites) {
    const QStringList names =
        sortedArrayByKeys(QStringList(favourites.cbegin(), favourites.cend()));
    Settings::setValue(Settings::Key::FavouriteVoices, names.join(u' '));
}

} // namespace parlino
