#include "catalogue/VoiceInfo.h"

#include <QJsonArray>
#include <QJsonValue>

namespace parlino {

namespace {

// Offline voice names carry eSpeak's voice file before this marker.
const QString offlineMarker = QStringLiteral("-eSpeak-");

} // namespace

QString VoiceInfo::familyOfName(const QString &name) {
    if (name.contains(offlineMarker))
        return QStringLiteral("eSpeak");
    const QStringList fields = name.split(u'-');
    if (fields.size() < 4)
        return fields.size() == 3 ? fields.at(2) : QString();
    return fields.mid(2, fields.size() - 3).join(u'-');
}

QString VoiceInfo::genderWord() const {
    const QString word = gender.trimmed().toLower();
    if (word == QLatin1String("male") || word == QLatin1String("female") ||
        word == QLatin1String("neutral"))
        return word;
    return QString();
}

QString VoiceInfo::displayName() const {
    const QString word = genderWord();
    return word.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, word);
}

QString VoiceInfo::engineName(Engine engine) {
    return engine == Engine::Cloud ? QStringLiteral("cloud") : QStringLiteral("offline");
}

QJsonObject VoiceInfo::toServiceJson() const {
    QJsonObject object{{QLatin1String("name"), name},
                       {QLatin1String("languageCodes"), QJsonArray::fromStringList(languageCodes)}};
    if (!gender.isEmpty())
        object.insert(QLatin1String("ssmlGender"), gender);
    if (naturalSampleRateHertz > 0)
        object.insert(QLatin1String("naturalSampleRateHertz"), naturalSampleRateHertz);
    return object;
}

QJsonObject VoiceInfo::toListingJson() const {
    return QJsonObject{{QLatin1String("name"), name},
                       {QLatin1String("languageCodes"), QJsonArray::fromStringList(languageCodes)},
                       {QLatin1String("gender"), genderWord()},
                       {QLatin1String("family"), family()},
                       {QLatin1String("engine"), engineName(engine)}};
}

VoiceInfo VoiceInfo::fromServiceJson(const QJsonObject &object) {
    VoiceInfo voice;
    voice.name = object.value(QLatin1String("name")).toString().trimmed();
    for (const QJsonValue &code : object.value(QLatin1String("languageCodes")).toArray()) {
        if (code.isString() && !code.toString().trimmed().isEmpty())
            voice.languageCodes.append(code.toString().trimmed());
    }
    voice.gender = object.value(QLatin1String("ssmlGender")).toString();
    if (voice.gender == QLatin1String("SSML_VOICE_GENDER_UNSPECIFIED"))
        voice.gender.clear();
    voice.naturalSampleRateHertz = object.value(QLatin1String("naturalSampleRateHertz")).toInt();
    return voice;
}

bool VoiceInfo::operator==(const VoiceInfo &other) const {
    return name == other.name && languageCodes == other.languageCodes && gender == other.gender &&
           naturalSampleRateHertz == other.naturalSampleRateHertz && engine == other.engine;
}

bool parseVoiceList(const QJsonValue &reply, QList<VoiceInfo> *voices, QString *error) {
    voices->clear();
    if (!reply.isObject()) {
        *error = QStringLiteral("The voice list is not a JSON object.");
        return false;
    }
    const QJsonValue list = reply.toObject().value(QLatin1String("voices"));
    if (list.isUndefined() || list.isNull())
        return true;
    if (!list.isArray()) {
        *error = QStringLiteral("The voice list has no array of voices.");
        return false;
    }
    for (const QJsonValue &item : list.toArray()) {
        const VoiceInfo voice = VoiceInfo::fromServiceJson(item.toObject());
        if (!voice.name.isEmpty() && !voice.languageCodes.isEmpty())
            voices->append(voice);
    }
    return true;
}

} // namespace parlino
