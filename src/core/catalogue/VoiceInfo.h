#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class QJsonValue;

namespace parlino {

// One voice of a catalogue: what the service lists for it at /v1/voices, or
// what Parlino knows of a built-in or offline voice.
struct VoiceInfo {
    enum class Engine { Cloud, Offline };

    QString name;              // "en-US-Neural2-A"; offline voices "cy-eSpeak-A"
    QStringList languageCodes; // "en-US"; a voice may speak several
    QString gender;            // "MALE", "FEMALE", "NEUTRAL"; empty when unknown
    int naturalSampleRateHertz = 0;
    Engine engine = Engine::Cloud;

    // The family: the fields between the language code and the last field of
    // the name ("Standard", "Wavenet", "Neural2", "Chirp3-HD"); "eSpeak" for
    // offline voices; empty for a name without one.
    QString family() const { return familyOfName(name); }
    static QString familyOfName(const QString &name);

    // "female", "male", "neutral", or empty.
    QString genderWord() const;

    // The name as the voice pop-up shows it: "en-US-Neural2-A (female)".
    QString displayName() const;

    // The service's form: languageCodes, name, ssmlGender, naturalSampleRateHertz.
    QJsonObject toServiceJson() const;
    // One object of `parlino voices --json`: name, languageCodes, gender, family, engine.
    QJsonObject toListingJson() const;
    static QString engineName(Engine engine);

    // A voice of the service's reply; its name is empty when the object has none.
    static VoiceInfo fromServiceJson(const QJsonObject &object);

    bool operator==(const VoiceInfo &other) const;
};

// The voices of a /v1/voices reply ({"voices": [...]}). Objects without a
// name or language code are skipped. False with a reason when the reply is
// not of that form; an empty "voices" array (or none) is a valid empty list.
bool parseVoiceList(const QJsonValue &reply, QList<VoiceInfo> *voices, QString *error);

} // namespace parlino
