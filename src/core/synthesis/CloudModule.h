#pragma once

#include "synthesis/cloud/NetAPIClicnet.h"

#include <QString>
#include <QUrl>

#include <memory>

namespace parlino {

class SpeechEngine;

// The cloud engine and its HTTP client as the rest of the program reaches
// them. They live in a module (parlino_cloud) opened on first use, so that
// the editor starts without QtNetwork and the Kerberos, proxy and TLS
// libraries it loads; programs that link the cloud code in (the tests, the
// benchmarks) get it in-process. The functions are those of
// CloudSpeechEngine and NetAPIClicnet of the same names.
class CloudModule {
public:
    virtual ~CloudModule() = default;

    // The module, opened on first use; nullptr, with why in *error, when it
    // cannot be.
    static CloudModule *get(QString *error = nullptr);
    // The module when it is open already; never opens it.
    static CloudModule *ifLoaded();
    // The cloud code makes itself the module with this when it is loaded or
    // linked in.
    static void install(CloudModule *module);

    virtual QUrl defaultEndpoint() const = 0;
    virtual QUrl configuredEndpoint() const = 0;
    virtual QString configuredEndpointText() const = 0;
    virtual QString endpointProblem(const QUrl &endpoint) const = 0;
    virtual QString endpointProblem(const QString &endpointText) const = 0;

    // A cloud engine (see CloudSpeechEngine's constructor).
    virtual std::unique_ptr<SpeechEngine> createEngine(const QUrl &endpoint,
                                                       const QString &apiKey) const = 0;

    virtual NetAPIClicnet *sharedJsonClient() const = 0;
    virtual void releaseShared() const = 0;
    virtual void requestJsonDataWithPath(NetAPIClicnet &client, const QString &path,
                                         const QJsonObject &params, NetMethodType methodType,
                                         NetAPIClicnet::Completion done) const = 0;
};

} // namespace parlino

// The module's one entry point.
using ParlinoCloudModuleEntry = parlino::CloudModule *(*)();
