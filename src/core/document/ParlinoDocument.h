#pragma once

#include "editing/SSMLCharactersModel.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace parlino {

// A text with its effect spans and, optionally, the voice settings to
// convert it with. Stored either as plain UTF-8 text or as a JSON document:
//   {"text": "...", "effects": [{"effect", "location", "length", "value"}],
//    "voice": "en-GB-Standard-A", "pitch": 0, "speed": 100}
// Offsets are UTF-16 code units. Effects keep their list order.
class ParlinoDocument {
public:
    QString text;
    EffectsArray effects;
    std::optional<QString> voice;
    std::optional<int> pitch;
    std::optional<int> speed;

    // Reads a document from bytes; json selects the JSON form. On refusal
    // returns nothing and sets error to a one-line reason.
    static std::optional<ParlinoDocument> fromBytes(const QByteArray &bytes, bool json,
                                                    QString *error);
    // Reads the file at path ("-" is standard input, read as plain text);
    // names ending in ".json" are JSON documents.
    static std::optional<ParlinoDocument> load(const QString &path, QString *error);
    static std::optional<ParlinoDocument> read(QIODevice &device, bool json, QString *error);

    static bool isJsonPath(const QString &path);

    // The JSON form, indented, UTF-8.
    QByteArray toJson() const;
    // Writes the JSON form atomically; nothing is left behind on failure.
    bool save(const QString &path, QString *error) const;
};

} // namespace parlino
