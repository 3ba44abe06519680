#include "synthesis/cloud/CloudSpeechEngine.h"

#include "Logging.h"
#include "settings/ApiKeyStore.h"
#include "settings/Settings.h"
#include "synthesis/SynthesisRequest.h"
#include "synthesis/cloud/Linear16Audio.h"
#include "synthesis/cloud/NetAPIClicnet.h"
#include "synthesis/cloud/Reachability.h"

#include <QJsonArray>
#include <QTimer>
#include <QUrlQuery>

namespace parlino {

const QUrl
    CloudSpeechEngine::defaultEndpoint(QStringLiteral("https://texttospeech.googleapis.com"));

namespace {

const QString methodPath = QStringLiteral("/v1/text:synthesize");
// Mark timepoints are offered on the beta version of the method only.
const QString timedMethodPath = QStringLiteral("/v1beta1/text:synthesize");

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
    case NetError::TooLarge:
        break;
    }
    return SpeechError::Transport;
}

// A failed request as a conversion sees it, with what a new try needs to know.
SpeechError speechError(const NetError &error) {
    SpeechError speech{speechErrorKind(error.kind), error.message};
    if (error.kind == NetError::HttpStatus)
        speech.httpStatus = error.httpStatus;
    speech.retryAfterMs = error.retryAfterMs;
    speech.timedOut = error.kind == NetError::TimedOut;
    return speech;
}

SpeechError noAudio() {
    return {SpeechError::NoAudio, QStringLiteral("The speech service returned no usable audio.")};
}

// An MP3 stream starts with an ID3 tag or a frame's 11-bit sync.
bool looksLikeMp3(const QByteArray &audio) {
    return audio.startsWith("ID3") ||
           (audio.size() >= 2 && uchar(audio[0]) == 0xFF && (uchar(audio[1]) & 0xE0) == 0xE0);
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

QUrl CloudSpeechEngine::synthesizeUrl(const QUrl &endpoint, const QString &apiKey, bool timed) {
    QUrl url = endpoint;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + (timed ? timedMethodPath : methodPath));
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
    post(request, false, [done](const QJsonObject &reply, const SpeechError &error) {
        if (error.isError()) {
            done({}, error);
            return;
        }
        const QByteArray audio = SynthesisRequest::audioContent(reply);
        if (!looksLikeMp3(audio)) {
            done({}, noAudio());
            return;
        }
        qCDebug(lcSynthesis) << "received" << audio.size() << "bytes of audio";
        done(audio, SpeechError());
    });
}

// The service's MP3 is 32 kbit/s at a constant rate: its length follows from its size.
void CloudSpeechEngine::synthesizeTimed(const QJsonObject &request, TimedCompletion done) {
    QJsonObject timed = request;
    timed.insert(QLatin1String("enableTimePointing"), QJsonArray{QStringLiteral("SSML_MARK")});
    post(timed, true, [done](const QJsonObject &reply, const SpeechError &error) {
        const QByteArray audio =
            error.isError() ? QByteArray() : SynthesisRequest::audioContent(reply);
        if (!looksLikeMp3(audio)) {
            done({}, {}, -1.0, error.isError() ? error : noAudio());
            return;
        }
        QList<MarkTime> marks;
        for (const Linear16Audio::Timepoint &point : Linear16Audio::timepoints(reply))
            marks.append({point.markName, point.seconds});
        done(audio, marks, double(audio.size()) * 8.0 / 32000.0, SpeechError());
    });
}

// A preview asks for WAV audio, which plays without an MP3 decoder, and for
// the times of the request's marks.
SpeechPreviewCancel CloudSpeechEngine::preview(const QJsonObject &request,
                                               SpeechPreviewHandlers handlers) {
    QJsonObject timed = request;
    QJsonObject audioConfig = timed.value(QLatin1String("audioConfig")).toObject();
    audioConfig.insert(QLatin1String("audioEncoding"), QStringLiteral("LINEAR16"));
    timed.insert(QLatin1String("audioConfig"), audioConfig);
    timed.insert(QLatin1String("enableTimePointing"), QJsonArray{QStringLiteral("SSML_MARK")});
    auto cancelled = std::make_shared<bool>(false);
    post(timed, true,
         [cancelled, handlers = std::move(handlers)](const QJsonObject &reply,
                                                     const SpeechError &error) {
             if (*cancelled)
                 return;
             if (error.isError()) {
                 handlers.ended(error);
                 return;
             }
             Linear16Audio::Pcm pcm;
             QString problem;
             const QByteArray wav = SynthesisRequest::audioContent(reply);
             if (wav.isEmpty()) {
                 handlers.ended(noAudio());
                 return;
             }
             if (!Linear16Audio::read(wav, &pcm, &problem)) {
                 handlers.ended({SpeechError::NoAudio, problem});
                 return;
             }
             handlers.started(pcm.sampleRate);
             for (const Linear16Audio::Timepoint &point : Linear16Audio::timepoints(reply))
                 handlers.mark(point.markName, qRound64(point.seconds * pcm.sampleRate));
             handlers.audio(pcm.samples);
             handlers.ended(SpeechError());
         });
    return [cancelled] { *cancelled = true; };
}

void CloudSpeechEngine::post(const QJsonObject &request, bool timed, Reply done) {
    const QString problem = endpointProblem(m_endpoint);
    if (!problem.isEmpty()) {
        QTimer::singleShot(0, this, [done = std::move(done), problem] {
            done({}, {SpeechError::NoEngine, problem});
        });
        return;
    }
    if (!m_apiKey.isEmpty()) {
        QTimer::singleShot(0, this, [this, request, timed, done = std::move(done)] {
            send(request, m_apiKey, timed, done);
        });
        return;
    }
    ApiKeyStore::read(this, [this, request, timed, done = std::move(done)](const QString &key) {
        send(request, key, timed, done);
    });
}

void CloudSpeechEngine::send(const QJsonObject &request, const QString &apiKey, bool timed,
                             Reply done) {
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
        synthesizeUrl(m_endpoint, apiKey, timed).toString(QUrl::FullyEncoded), request,
        NetMethodPost,
        [self = QPointer<CloudSpeechEngine>(this), done = std::move(done)](const QJsonValue &data,
                                                                           const NetError &error) {
            if (!self)
                return;
            if (error.isError())
                done({}, speechError(error));
            else
                done(data.toObject(), SpeechError());
        });
}

} // namespace parlino
