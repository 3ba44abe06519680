#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace parlino {

// The one table of persisted settings: every key with its default, and the
// store they live in (organisation "Parlino", application "Parlino"), named
// explicitly so the command line and the editor share it whatever names the
// running application has set.
class Settings {
public:
    enum class Key {
        SavePath,           // the folder chosen last for saving audio
        Engine,             // "cloud" or "offline"; empty picks one by what is configured
        Endpoint,           // base address of the cloud service; empty uses the built-in one
        TwentyFourHourTime, // "true": new Time spans are read on the 24-hour clock
        // The choices last used in the editor; empty until the first choice.
        Language,
        Voice,
        Pitch,
        Speed,
        FavouriteVoices, // voice names, separated by spaces
        Subtitles,       // "srt" or "vtt": Convert in the editor writes subtitles too; empty: none
        RecentDocuments, // the documents opened or saved last, newest first
        DocumentFolder,  // the folder a document was opened from or saved in last
    };

    static QString name(Key key);
    static QVariant defaultValue(Key key);

    // The stored value, or the default when none is stored.
    static QVariant value(Key key);
    // The same from an open store, for reading several values at once.
    static QVariant value(const QSettings &store, Key key);
    // Stores the value and flushes the store; false with a reason on failure.
    static bool setValue(Key key, const QVariant &value, QString *error = nullptr);
    static void remove(Key key);

    static std::unique_ptr<QSettings> open();
};

} // namespace parlino
