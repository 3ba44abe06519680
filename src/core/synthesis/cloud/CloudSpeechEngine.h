#pragma once

#include "synthesis/SpeechEngine.h"

#include <QPointer>
#include <QUrl>

namespace parlino {

class NetAPIClicnet;

// Speaks through the Google Cloud Text-to-Speech REST service: POSTs the
// request to ENDPOINT/v1/text:synthesize?key=KEY and decodes the base64
// "audioContent" of the reply. The key travels only over https (plain http
// is accepted for loopback endpoints, where tests run a fake service).
class CloudSpeechEngine : public SpeechEngine {
    Q_OBJECT
public:
    static const QUrl defaultEndpoint;

    // The endpoint in use: PARLINO_ENDPOINT, else the stored setting, else
    // the service's own address.
    static QUrl configuredEndpoint();
    // The same, as the user wrote it (for messages that quote it).
    static QString configuredEndpointText();

    // Empty when the key may be sent to the endpoint, otherwise why not.
    static QString endpointProblem(const QUrl &endpoint);
    // The same for an address as the user wrote it; messages quote the text.
    static QString endpointProblem(const QString &endpointText);

    // The full address of the method, with the key as the "key" query member;
    // timed: the v1beta1 method, which reports the times of SSML marks.
    static QUrl synthesizeUrl(const QUrl &endpoint, const QString &apiKey, bool timed = false);

    // An empty apiKey is looked up for every request (environment, session,
    // keyring), so a key entered later is used. client defaults to the shared one.
    explicit CloudSpeechEngine(const QUrl &endpoint, const QString &apiKey = QString(),
                               NetAPIClicnet *client = nullptr, QObject *parent = nullptr);

    QUrl endpoint() const { return m_endpoint; }

    void synthesize(const QJsonObject &request, Completion done) override;
    // The service refuses input over 5,000 bytes.
    static constexpr qint64 requestByteLimit = 5000;
    qint64 partByteLimit() const override { return requestByteLimit; }
    // Asks v1beta1 for the times of the request's marks beside the MP3.
    void synthesizeTimed(const QJsonObject &request, TimedCompletion done) override;
    // Asks v1beta1 for LINEAR16 audio and the marks' timepoints; delivers it
    // all at once when the reply arrives.
    SpeechPreviewCancel preview(const QJsonObject &request,
                                SpeechPreviewHandlers handlers) override;

private:
    // The parsed reply, or an error.
    using Reply = std::function<void(const QJsonObject &reply, const SpeechError &error)>;
    void post(const QJsonObject &request, bool timed, Reply done);
    void send(const QJsonObject &request, const QString &apiKey, bool timed, Reply done);

    QUrl m_endpoint;
    QString m_apiKey;
    QPointer<NetAPIClicnet> m_client;
};

} // namespace parlino
