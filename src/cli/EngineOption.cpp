#include "EngineOption.h"

#include "settings/ApiKeyStore.h"
#include "synthesis/SpeechEngine.h"

#include <QCommandLineParser>
#include <QEventLoop>

namespace parlino {

namespace {

const QString engineOption = QStringLiteral("engine");

// The key for the cloud engine, looked up the way the editor does.
QString cloudKey() {
    QString key;
    QEventLoop loop;
    ApiKeyStore::read(&loop, [&](const QString &found) {
        key = found;
        loop.quit();
    });
    loop.exec();
    return key;
}

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
        key = cloudKey();
        if (key.isEmpty()) {
            *error = QStringLiteral("no API key for the cloud voice: set PARLINO_API_KEY or enter "
                                    "a key in the editor's Preferences");
            return nullptr;
        }
    }
    return SpeechEngineFactory::create(kind, key, error);
}

} // namespace parlino
