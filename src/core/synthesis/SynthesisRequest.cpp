#include "synthesis/SynthesisRequest.h"

#include "catalogue/DataSource.h"
#include "catalogue/VoiceFamily.h"
#include "catalogue/VoiceInfo.h"
#include "editing/EffectKind.h"

#include <QJsonValue>

#include <climits>
#include <cmath>

namespace parlino {

namespace SynthesisRequest {

namespace {

// The text without the pause glyphs, which only SSML turns into pauses.
QString withoutPauseGlyphs(QString text) {
    return text.remove(QChar(pauseGlyph));
}

} // namespace

int sliderInteger(double value) {
    if (std::isnan(value))
        return 0;
    const double whole = std::trunc(value);
    if (whole <= double(INT_MIN))
        return INT_MIN;
    if (whole >= double(INT_MAX))
        return INT_MAX;
    return int(whole);
}

QString speakingRate(int speed) {
    // QString::asprintf always formats with the C locale.
    return QString::asprintf("%.2f", double(speed) / 100.0);
}

bool isUsableVoiceName(const QString &voiceName) {
    const QStringList fields = voiceName.split(u'-');
    return fields.size() >= 2 && !fields.at(0).isEmpty() && !fields.at(1).isEmpty();
}

QJsonObject body(const QString &text, const QString &ssmlString, const QString &voiceName,
                 double pitch, double speed) {
    const QString family = VoiceInfo::familyOfName(voiceName);
    QJsonObject input;
    if (ssmlString == text)
        input.insert(QLatin1String("text"), text);
    else if (VoiceFamily::takesSsml(family))
        input.insert(QLatin1String("ssml"), ssmlString);
    else
        input.insert(QLatin1String("text"), withoutPauseGlyphs(text));

    const QJsonObject voice{
        {QLatin1String("languageCode"), DataSource::languageCodeOfVoice(voiceName)},
        {QLatin1String("name"), voiceName},
    };
    QJsonObject audioConfig{
        {QLatin1String("audioEncoding"), QStringLiteral("MP3")},
        {QLatin1String("speakingRate"), speakingRate(sliderInteger(speed))},
    };
    if (VoiceFamily::takesPitch(family))
        audioConfig.insert(QLatin1String("pitch"), sliderInteger(pitch));
    return QJsonObject{
        {QLatin1String("input"), input},
        {QLatin1String("voice"), voice},
        {QLatin1String("audioConfig"), audioConfig},
    };
}

QByteArray audioContent(const QJsonObject &reply) {
    const QJsonValue content = reply.value(QLatin1String("audioContent"));
    if (!content.isString())
        return {};
    // Only the white space the service may break lines with is let through;
    // any other character outside the alphabet makes the whole reply unusable.
    QByteArray base64 = content.toString().toLatin1();
    base64.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(std::move(base64), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

} // namespace SynthesisRequest

} // namespace parlino
