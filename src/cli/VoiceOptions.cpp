#include "VoiceOptions.h"

#include "catalogue/DataSource.h"
#include "catalogue/VoiceCatalogue.h"
#include "document/ParlinoDocument.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/VoiceLimits.h"

#include <QCommandLineParser>

namespace parlino {

namespace {

const QString voiceOption = QStringLiteral("voice");
const QString pitchOption = QStringLiteral("pitch");
const QString speedOption = QStringLiteral("speed");

// A number as the sliders give it: the fraction is dropped toward zero.
std::optional<int> wholeNumber(const QString &text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return SynthesisRequest::sliderInteger(value);
}

QString rangeProblem(const QString &what, int value, const VoiceLimit &limit) {
    if (limit.contains(value))
        return QString();
    return QStringLiteral("%1 %2 is outside %3 to %4")
        .arg(what)
        .arg(value)
        .arg(limit.minimum)
        .arg(limit.maximum);
}

QString voiceProblem(const QString &voice, const VoiceCatalogue &catalogue) {
    if (catalogue.contains(voice))
        return QString();
    return QStringLiteral("unknown voice \"%1\" (see parlino voices)").arg(voice);
}

} // namespace

void VoiceOptions::addTo(QCommandLineParser &parser) {
    parser.addOption({voiceOption, QStringLiteral("Voice name, as listed by parlino voices."),
                      QStringLiteral("NAME")});
    parser.addOption({pitchOption,
                      QStringLiteral("Pitch from %1 to %2.")
                          .arg(VoiceLimits::pitch.minimum)
                          .arg(VoiceLimits::pitch.maximum),
                      QStringLiteral("N")});
    parser.addOption({speedOption,
                      QStringLiteral("Speed in percent, %1 to %2.")
                          .arg(VoiceLimits::speed.minimum)
                          .arg(VoiceLimits::speed.maximum),
                      QStringLiteral("N")});
}

QString VoiceOptions::problem(const QCommandLineParser &parser, const VoiceCatalogue &catalogue) {
    if (parser.isSet(voiceOption)) {
        const QString problem = voiceProblem(parser.value(voiceOption), catalogue);
        if (!problem.isEmpty())
            return problem;
    }
    for (const QString &option : {pitchOption, speedOption}) {
        if (!parser.isSet(option))
            continue;
        const auto value = wholeNumber(parser.value(option));
        if (!value)
            return QStringLiteral("--%1 needs a number, not \"%2\"")
                .arg(option, parser.value(option));
        const QString problem =
            option == pitchOption
                ? rangeProblem(QStringLiteral("pitch"), *value, VoiceLimits::pitch)
                : rangeProblem(QStringLiteral("speed"), *value, VoiceLimits::speed);
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

std::optional<ConversionInput> VoiceOptions::input(const QCommandLineParser &parser,
                                                   const ParlinoDocument &document,
                                                   const VoiceCatalogue &catalogue,
                                                   QString *error) {
    ConversionInput input;
    input.text = document.text;
    input.spans = document.effects;
    input.voice = parser.isSet(voiceOption) ? parser.value(voiceOption)
                                            : document.voice.value_or(DataSource::defaultVoice());
    input.pitch = parser.isSet(pitchOption) ? *wholeNumber(parser.value(pitchOption))
                                            : document.pitch.value_or(VoiceLimits::pitch.standard);
    input.speed = parser.isSet(speedOption) ? *wholeNumber(parser.value(speedOption))
                                            : document.speed.value_or(VoiceLimits::speed.standard);

    QString problem;
    if (input.text.isEmpty())
        problem = QStringLiteral("the text is empty");
    if (problem.isEmpty())
        problem = voiceProblem(input.voice, catalogue);
    if (problem.isEmpty())
        problem = rangeProblem(QStringLiteral("pitch"), int(input.pitch), VoiceLimits::pitch);
    if (problem.isEmpty())
        problem = rangeProblem(QStringLiteral("speed"), int(input.speed), VoiceLimits::speed);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    return input;
}

} // namespace parlino
