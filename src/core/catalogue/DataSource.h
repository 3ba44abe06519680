#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace parlino {

// The catalogue: a language's display name to its voice names.
using Catalogue = QHash<QString, QStringList>;

// The built-in table of the languages Parlino offers and their cloud voices.
class DataSource {
public:
    // A new catalogue: 37 languages, 88 voices; six languages have no voice.
    static Catalogue returnDataSource();

    // The language code a voice name starts with: "en-GB" for "en-GB-Standard-A",
    // "en-GB-scotland" for the offline voice "en-GB-scotland-eSpeak-A".
    static QString languageCodeOfVoice(const QString &voiceName);

    // True when the name is one of the catalogue's voices.
    static bool isKnownVoice(const QString &voiceName);

    // The first voice of the first language in pop-up order, as at start-up.
    static QString defaultVoice();
};

} // namespace parlino
