#include "synthesis/cloud/CloudSpeechEngine.h"

#include "Logging.h"
#include "settings/ApiKeyStore.h"
#include "settings/Settings.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/cloud/NetAPIClicnet.h"
#include "synthesis/cloud/Reachability.h"

#include <QTimer>
#include <QUrlQuery>

namespace parlino {

const QUrl
    CloudSpeechEngine::defaultEndpoint(QStringLiteral("https://texttospeech.googleapis.com"));

namespace {

const QString methodPath = QStringLiteral("/v1/text:synthesize");

// What a failed request means for a conversion.
SpeechError::Kind speechErrorKind(NetError::Kind kind) {
    switch (kind) {
    case NetError::None:
        return SpeechError::None;
    case NetError::NoNetwork:
        return SpeechError::NoNetwork;
    case NetError::HttpStatus:
    case NetError::Redirected: // the service never redirects; something else answered
        return SpeechError::RefusedByService;
    case NetError::InvalidParameters:
    case NetError::UnsupportedMethod:
    case NetError::Transport:
    case NetError::TimedOut:
    case NetError::ContentType:
    case NetError::MalformedReply:
        break;
    }
    return SpeechError::Transport;
}

} // namespace

QString CloudSpeechEngine::configuredEndpointText() {
    QString text = qEnvironmentVariable("PARLINO_ENDPOINT").trimmed();
    if (text.isEmpty())
        text = Settings::value(Settings::Key::Endpoint).toString().trimmed();
    return text.isEmpty() ? defaultEndpoint.toString() : text;
}

QUrl CloudSpeechEngine::configuredEndpoint() {
    return QUrl(configuredEndpointText(), QUrl::StrictMode);
}

QString CloudSpeechEngine::endpointProblem(const QString &endpointText) {
    const QString text = endpointText.trimmed();
    const QUrl endpoint(text, QUrl::StrictMode);
    const QString scheme = endpoint.scheme().toLower();
    // A scheme other than the two web ones is named as the problem, even
    // when the rest would parse (file:///tmp has no host).
    if (endpoint.isValid() && !scheme.isEmpty() && scheme != QLatin1String("https") &&
        scheme != QLatin1String("http"))
        return QStringLiteral("The service address \"%1\" must start with https://.").arg(text);
    if (!endpoint.isValid() || endpoint.host().isEmpty())
        return QStringLiteral("The service address \"%1\" is not a valid URL; it must start "
                              "with https://.")
            .arg(text);
    return endpointProblem(endpoint);
}

QString CloudSpeechEngine::endpointProblem(const QUrl &endpoint) {
    if (!endpoint.isValid() || endpoint.host().isEmpty())
        return QStringLiteral("The service address \"%1\" is not a valid URL; it must start "
                              "with https://.")
            .arg(endpoint.toString());
    if (endpoint.hasQuery() || endpoint.hasFragment() || !endpoint.userInfo().isEmpty())
        return QStringLiteral("The service address must not carry a query, fragment or user "
                              "name.");
    const QString scheme = endpoint.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return QString();
    if (scheme == QLatin1String("http") && Reachability::isLoopbackHost(endpoint.host()))
        return QString();
    if (scheme == QLatin1String("http"))
        return QStringLiteral("Refusing to send the API key over plain http to %1; use https.")
            .arg(endpoint.host());
    return QStringLiteral("The service address must start with https://.");
}

QUrl CloudSpeechEngine::synthesizeUrl(const QUrl &endpoint, const QString &apiKey) {
    QUrl url = endpoint;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + methodPath);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("key"), apiKey);
    url.setQuery(query);
    return url;
}

CloudSpeechEngine::CloudSpeechEngine(const QUrl &endpoint, const QString &apiKey,
                                     NetAPIClicnet *client, QObject *parent)
    : SpeechEngine(parent)
    , m_endpoint(endpoint)
    , m_apiKey(apiKey.trimmed())
    , m_client(client ? client : NetAPIClicnet::sharedJsonClient()) {}

void CloudSpeechEngine::synthesize(const QJsonObject &request, Completion done) {
    const QString problem = endpointProblem(m_endpoint);
    if (!problem.isEmpty()) {
        failLater(std::move(done), {SpeechError::NoEngine, problem});
        return;
    }
    if (!m_apiKey.isEmpty()) {
        QTimer::singleShot(
            0, this, [this, request, done = std::move(done)] { send(request, m_apiKey, done); });
        return;
    }
    ApiKeyStore::read(this, [this, request, done = std::move(done)](const QString &key) {
        send(request, key, done);
    });
}

void CloudSpeechEngine::send(const QJsonObject &request, const QString &apiKey, Completion done) {
    if (apiKey.isEmpty()) {
        done({}, {SpeechError::NoKey,
                  QStringLiteral("No API key for the cloud voice is configured. Set "
                                 "PARLINO_API_KEY or enter a key in Preferences.")});
        return;
    }
    if (!m_client) {
        done({}, {SpeechError::NoEngine, QStringLiteral("The network client is gone.")});
        return;
    }
    // The client logs the request with the key redacted.
    m_client->requestJsonDataWithPath(
        synthesizeUrl(m_endpoint, apiKey).toString(QUrl::FullyEncoded), request, NetMethodPost,
        [self = QPointer<CloudSpeechEngine>(this), done = std::move(done)](const QJsonValue &data,
                                                                           const NetError &error) {
            if (!self)
                return;
            if (error.isError()) {
                done({}, {speechErrorKind(error.kind), error.message});
                return;
            }
            const QByteArray audio = SynthesisRequest::audioContent(data.toObject());
            if (audio.isEmpty()) {
                done({}, {SpeechError::NoAudio,
                          QStringLiteral("The speech service returned no audio.")});
                return;
            }
            qCDebug(lcSynthesis) << "received" << audio.size() << "bytes of audio";
            done(audio, SpeechError());
        });
}

void CloudSpeechEngine::failLater(Completion done, const SpeechError &error) {
    QTimer::singleShot(0, this, [done = std::move(done), error] { done({}, error); });
}

} // namespace parlino
