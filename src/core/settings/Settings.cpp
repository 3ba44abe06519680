#include "settings/Settings.h"

#include <QSettings>

namespace parlino {

namespace {

struct Entry {
    Settings::Key key;
    const char *name;
    const char *defaultValue;
};

// Keys are written exactly as listed; existing stores depend on them.
constexpr Entry table[] = {
    {Settings::Key::SavePath, "SavePath", ""},
    {Settings::Key::Engine, "Engine", ""},
    {Settings::Key::Endpoint, "Endpoint", ""},
    {Settings::Key::RecentDocuments, "RecentDocuments", ""},
    {Settings::Key::DocumentFolder, "DocumentFolder", ""},
    {Settings::Key::Language, "Language", ""},
    {Settings::Key::Voice, "Voice", ""},
    {Settings::Key::Pitch, "Pitch", ""},
    {Settings::Key::Speed, "Speed", ""},
    {Settings::Key::FavouriteVoices, "FavouriteVoices", ""},
    {Settings::Key::TwentyFourHourTime, "TwentyFourHourTime", "false"},
    {Settings::Key::Subtitles, "Subtitles", ""},
};

const Entry &entry(Settings::Key key) {
    for (const Entry &e : table) {
        if (e.key == key)
            return e;
    }
    Q_UNREACHABLE();
}

} // namespace

QString Settings::name(Key key) {
    return QString::fromLatin1(entry(key).name);
}

QVariant Settings::defaultValue(Key key) {
    return QString::fromLatin1(entry(key).defaultValue);
}

std::unique_ptr<QSettings> Settings::open() {
    return std::make_unique<QSettings>(QStringLiteral("Parlino"), QStringLiteral("Parlino"));
}

QVariant Settings::value(Key key) {
    return value(*open(), key);
}

QVariant Settings::value(const QSettings &store, Key key) {
    return store.value(name(key), defaultValue(key));
}

bool Settings::setValue(Key key, const QVariant &value, QString *error) {
    const auto store = open();
    store->setValue(name(key), value);
    store->sync();
    if (store->status() == QSettings::NoError)
        return true;
    if (error) {
        *error = store->status() == QSettings::AccessError
                     ? QStringLiteral("cannot write the settings file %1").arg(store->fileName())
                     : QStringLiteral("the settings file %1 is damaged").arg(store->fileName());
    }
    return false;
}

void Settings::remove(Key key) {
    const auto store = open();
    store->remove(name(key));
    store->sync();
}

} // namespace parlino
