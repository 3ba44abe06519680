#include "synthesis/SpeechEngineFactory.h"

#include "settings/ApiKeyStore.h"
#include "settings/Settings.h"
#include "synthesis/CloudModule.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

namespace parlino {

namespace SpeechEngineFactory {

namespace {

void setError(QString *error, const QString &message) {
    if (error)
        *error = message;
}

} // namespace

QString name(Kind kind) {
    return kind == Kind::Cloud ? QStringLiteral("cloud") : QStringLiteral("offline");
}

std::optional<Kind> kindFromName(const QString &text) {
    for (const Kind kind : {Kind::Cloud, Kind::Offline}) {
        if (text.compare(name(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QStringList names() {
    return {name(Kind::Cloud), name(Kind::Offline)};
}

bool offlineAvailable() {
    return true;
}

Kind preferredKind() {
    if (const auto stored = kindFromName(Settings::value(Settings::Key::Engine).toString()))
        return *stored;
    if (!ApiKeyStore::environmentKey().isEmpty() || !offlineAvailable())
        return Kind::Cloud;
    return Kind::Offline;
}

Kind kindOrPreferred(const QString &name) {
    const std::optional<Kind> named = kindFromName(name);
    return named ? *named : preferredKind();
}

std::unique_ptr<SpeechEngine> create(Kind kind, const QString &apiKey, QString *error) {
    if (kind == Kind::Offline)
        return std::make_unique<OfflineSpeechEngine>();
    QString problem;
    const CloudModule *cloud = CloudModule::get(&problem);
    if (cloud)
        problem = cloud->endpointProblem(cloud->configuredEndpointText());
    if (!problem.isEmpty()) {
        setError(error, problem);
        return nullptr;
    }
    return cloud->createEngine(cloud->configuredEndpoint(), apiKey);
}

} // namespace SpeechEngineFactory

} // namespace parlino
