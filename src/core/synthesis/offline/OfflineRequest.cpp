#include "synthesis/offline/OfflineRequest.h"

#include "Logging.h"

#include <QJsonValue>

namespace parlino {

namespace {

// A number given as a JSON number or as decimal text ("1.00").
bool readNumber(const QJsonValue &value, double fallback, double *out) {
    if (value.isUndefined() || value.isNull()) {
        *out = fallback;
        return true;
    }
    if (value.isDouble()) {
        *out = value.toDouble();
        return true;
    }
    if (value.isString()) {
        bool ok = false;
        *out = value.toString().trimmed().toDouble(&ok);
        return ok;
    }
    return false;
}

} // namespace

bool OfflineRequest::fromJson(const QJsonObject &request, OfflineRequest *out, QString *error) {
    const QJsonObject input = request.value(QLatin1String("input")).toObject();
    const QJsonValue ssml = input.value(QLatin1String("ssml"));
    const QJsonValue text = input.value(QLatin1String("text"));
    if (!ssml.isString() && !text.isString()) {
        *error = QStringLiteral("The request has no text or SSML to speak.");
        return false;
    }

    const QJsonObject audio = request.value(QLatin1String("audioConfig")).toObject();
    const QString encoding = audio.value(QLatin1String("audioEncoding")).toString();
    if (!encoding.isEmpty() && encoding.compare(QLatin1String("MP3"), Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("The offline engine writes MP3 only, not %1.").arg(encoding);
        return false;
    }
    double pitch = 0.0;
    if (!readNumber(audio.value(QLatin1String("pitch")), 0.0, &pitch)) {
        *error = QStringLiteral("The pitch of the request is not a number.");
        return false;
    }
    double rate = 1.0;
    if (!readNumber(audio.value(QLatin1String("speakingRate")), 1.0, &rate)) {
        *error = QStringLiteral("The speaking rate of the request is not a number.");
        return false;
    }

    const QJsonObject voice = request.value(QLatin1String("voice")).toObject();
    out->languageCode = voice.value(QLatin1String("languageCode")).toString();
    const QString voiceName = voice.value(QLatin1String("name")).toString();
    out->voice = OfflineVoice::forVoice(out->languageCode, voiceName);
    if (out->voice.substitute)
        qCInfo(lcSynthesis, "offline: %s", qUtf8Printable(out->voice.note));

    bool clamped = false;
    out->espeakPitch = OfflineProsody::espeakPitch(pitch, &clamped);
    if (clamped)
        qCInfo(lcSynthesis, "offline: pitch %g semitones is out of reach; %g to %g is used", pitch,
               OfflineProsody::minPitch(), OfflineProsody::maxPitch());
    out->espeakRate = OfflineProsody::espeakRate(rate, &clamped);
    if (clamped)
        qCInfo(lcSynthesis, "offline: speaking rate %g is out of reach; %d words per minute used",
               rate, out->espeakRate);

    const bool isSsml = ssml.isString();
    out->document = EspeakSsmlTranslator::translate(isSsml ? ssml.toString() : text.toString(),
                                                    isSsml, out->languageCode, out->espeakRate);
    if (!out->document.isValid()) {
        *error = out->document.error;
        return false;
    }
    if (out->document.unreadable) {
        *error = QStringLiteral("The offline Japanese voice reads kana only, and this text is "
                                "all kanji: there is nothing it can read.");
        return false;
    }
    qCDebug(lcSynthesis, "offline: voice %s, pitch %d, rate %d wpm: %s",
            qUtf8Printable(out->voice.identifier()), out->espeakPitch, out->espeakRate,
            qUtf8Printable(out->document.ssml.left(2000)));
    return true;
}

} // namespace parlino
