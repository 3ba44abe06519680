#pragma once

#include "synthesis/cloud/NetError.h"
#include "synthesis/cloud/Reachability.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QDateTime;
class QNetworkAccessManager;
class QNetworkReply;

namespace parlino {

enum NetMethodType { NetMethodGet = 0, NetMethodPost = 1 };

// The JSON client: sends a dictionary of parameters as JSON (a POST body or a
// GET query) and hands the parsed reply, or why there is none, to a
// completion. Every request ends in exactly one call of its completion, on
// this object's thread and after the request call has returned; overlapping
// requests are independent. Reachability is asked once per request as a
// hint: only a network known to be down stops a request. A request fails
// when no data comes for the transfer time-out, when the whole takes longer
// than the deadline, and as soon as its reply passes the size limit.
class NetAPIClicnet : public QObject {
    Q_OBJECT
public:
    // data is the parsed object or array, undefined for an empty reply body
    // and after a failure.
    using Completion = std::function<void(const QJsonValue &data, const NetError &error)>;
    using ReachabilityProbe = std::function<Reachability::Status(const QUrl &)>;

    static constexpr std::chrono::milliseconds defaultTransferTimeout{25000};
    static constexpr std::chrono::milliseconds defaultDeadline{120000};
    static constexpr qint64 defaultReplySizeLimit = 64 * 1024 * 1024;

    // The process-wide client, created on first use and owned by the application object.
    static NetAPIClicnet *sharedJsonClient();
    // Destroys the shared client, if there is one, while the application
    // object still exists: as a child of it, the client would go after the
    // application is gone, and Qt's network thread, closing a TLS connection
    // then, warns about a null object on stderr.
    static void releaseShared();

    explicit NetAPIClicnet(const QUrl &baseUrl = QUrl(), QObject *parent = nullptr);
    ~NetAPIClicnet() override;

    QUrl baseUrl() const { return m_baseUrl; }

    // The longest time without any data before a request fails.
    void setTransferTimeout(std::chrono::milliseconds timeout) { m_transferTimeout = timeout; }
    std::chrono::milliseconds transferTimeout() const { return m_transferTimeout; }
    // The longest time a whole request may take, however steadily data comes.
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    std::chrono::milliseconds deadline() const { return m_deadline; }
    // The largest reply body accepted; a larger one is cut off as soon as its
    // announced length or its received bytes pass the limit.
    void setReplySizeLimit(qint64 bytes) { m_replySizeLimit = bytes; }
    qint64 replySizeLimit() const { return m_replySizeLimit; }

    void setReachabilityProbe(ReachabilityProbe probe) { m_reachability = std::move(probe); }

    // path is absolute, or relative to the base URL. Returns at once.
    void requestJsonDataWithPath(const QString &path, const QJsonObject &params,
                                 NetMethodType methodType, Completion done);

    int pendingRequests() const { return m_pending; }

    // The reply content types (without parameters) that are accepted.
    static bool isAcceptedContentType(const QByteArray &contentTypeHeader);

    // The URL with the value of every "key" query member replaced, for logs
    // and messages.
    static QUrl redactedUrl(const QUrl &url);

    // The wait in milliseconds a Retry-After value asks for: whole seconds,
    // or an HTTP date ("Wed, 21 Oct 2026 07:28:00 GMT") counted from now, a
    // past date giving 0. -1 for anything else.
    static int retryAfterMs(const QByteArray &value, const QDateTime &now);

    // What a reply that arrived says: its parsed JSON (undefined when the
    // body is empty) or why it is refused. status is the HTTP status;
    // reasonPhrase is used when an error reply carries no message.
    struct Reading {
        QJsonValue data{QJsonValue::Undefined};
        NetError error;
    };
    static Reading readReply(int status, const QByteArray &contentType, const QByteArray &body,
                             const QString &reasonPhrase = QString());

signals:
    // A request was not sent because the network is known to be down.
    void networkUnavailable();

private:
    void send(const QUrl &url, const QJsonObject &params, NetMethodType methodType,
              Completion done);
    // Cuts the reply off, keeping why in *cut, once it passes the size limit
    // or the deadline.
    void guard(QNetworkReply *reply, const std::shared_ptr<NetError> &cut);
    void finish(QNetworkReply *reply, const QUrl &url, const NetError &cut, const Completion &done);
    void completeLater(const Completion &done, const NetError &error);

    QUrl m_baseUrl;
    QNetworkAccessManager *m_manager;
    std::chrono::milliseconds m_transferTimeout = defaultTransferTimeout;
    std::chrono::milliseconds m_deadline = defaultDeadline;
    qint64 m_replySizeLimit = defaultReplySizeLimit;
    ReachabilityProbe m_reachability = &Reachability::statusFor;
    int m_pending = 0;
};

} // namespace parlino
