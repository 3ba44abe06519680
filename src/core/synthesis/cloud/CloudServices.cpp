// The cloud module's side of CloudModule: the cloud engine and the JSON
// client behind the interface the rest of the program uses.
#include "synthesis/CloudModule.h"
#include "synthesis/cloud/CloudSpeechEngine.h"

namespace parlino {

namespace {

class CloudServices : public CloudModule {
public:
    QUrl defaultEndpoint() const override { return CloudSpeechEngine::defaultEndpoint; }
    QUrl configuredEndpoint() const override { return CloudSpeechEngine::configuredEndpoint(); }
    QString configuredEndpointText() const override {
        return CloudSpeechEngine::configuredEndpointText();
    }
    QString endpointProblem(const QUrl &endpoint) const override {
        return CloudSpeechEngine::endpointProblem(endpoint);
    }
    QString endpointProblem(const QString &endpointText) const override {
        return CloudSpeechEngine::endpointProblem(endpointText);
    }
    std::unique_ptr<SpeechEngine> createEngine(const QUrl &endpoint,
                                               const QString &apiKey) const override {
        return std::make_unique<CloudSpeechEngine>(endpoint, apiKey);
    }
    NetAPIClicnet *sharedJsonClient() const override { return NetAPIClicnet::sharedJsonClient(); }
    void releaseShared() const override { NetAPIClicnet::releaseShared(); }
    void requestJsonDataWithPath(NetAPIClicnet &client, const QString &path,
                                 const QJsonObject &params, NetMethodType methodType,
                                 NetAPIClicnet::Completion done) const override {
        client.requestJsonDataWithPath(path, params, methodType, std::move(done));
    }
};

CloudServices &services() {
    static CloudServices instance;
    return instance;
}

// Linked into a program, the cloud code is the module from the start.
[[maybe_unused]] const bool installedAtStart = [] {
    CloudModule::install(&services());
    return true;
}();

} // namespace

} // namespace parlino

extern "C" Q_DECL_EXPORT parlino::CloudModule *parlino_cloud_module() {
    return &parlino::services();
}
