#include "EngineOption.h"

#include "CatalogueInUse.h"
#include "synthesis/SpeechEngine.h"

#include <QCommandLineParser>

namespace parlino {

namespace {

const QString engineOption = QStringLiteral("engine");

} // namespace

void EngineOption::addTo(QCommandLineParser &parser) {
    parser.addOption(
        {engineOption, QStringLiteral("Speech engine: cloud or offline."), QStringLiteral("NAME")});
}

std::optional<SpeechEngineFactory::Kind> EngineOption::kind(const QCommandLineParser &parser,
                                                            QString *problem) {
    if (!parser.isSet(engineOption))
        return SpeechEngineFactory::preferredKind();
    const auto chosen = SpeechEngineFactory::kindFromName(parser.value(engineOption));
    if (!chosen)
        *problem = QStringLiteral("unknown engine \"%1\"; use cloud or offline")
                       .arg(parser.value(engineOption));
    return chosen;
}

std::unique_ptr<SpeechEngine> EngineOption::create(SpeechEngineFactory::Kind kind, QString *error) {
    QString key;
    if (kind == SpeechEngineFactory::Kind::Cloud) {
        key = CatalogueInUse::apiKey();
        if (key.isEmpty()) {
            *error = QStringLiteral("no API key for the cloud voice: set PARLINO_API_KEY or enter "
                                    "a key in the editor's Preferences");
            return nullptr;
        }
    }
    return SpeechEngineFactory::create(kind, key, error);
}

} // namespace parlino
