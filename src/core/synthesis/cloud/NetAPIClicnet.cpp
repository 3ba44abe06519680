#include "synthesis/cloud/NetAPIClicnet.h"

#include "Logging.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrlQuery>

#include <algorithm>
#include <climits>
#include <cmath>

namespace parlino {

namespace {

const QString keyMember = QStringLiteral("key");
const QString redacted = QStringLiteral("REDACTED");

bool isJsonSafe(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return std::isfinite(value.toDouble());
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(),
                           [](const QJsonValue &item) { return isJsonSafe(item); });
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        return std::all_of(object.begin(), object.end(),
                           [](const QJsonValue &item) { return isJsonSafe(item); });
    }
    case QJsonValue::Undefined:
        return false;
    default:
        return true;
    }
}

// Removes the key from a message the transport wrote (some include the URL).
QString redactedMessage(QString message, const QUrl &url) {
    const QUrlQuery query(url);
    for (const auto &[name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (name != keyMember || value.isEmpty())
            continue;
        message.replace(value, redacted);
        message.replace(QString::fromLatin1(QUrl::toPercentEncoding(value)), redacted);
    }
    return message;
}

QString queryValue(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    default:
        return QString();
    }
}

// The service's own explanation in an error reply: {"error": {"message": ...}}
// or {"error": "..."}.
QString serviceMessage(const QByteArray &body) {
    const QJsonValue error = QJsonDocument::fromJson(body).object().value(QLatin1String("error"));
    const QString message = error.isString()
                                ? error.toString()
                                : error.toObject().value(QLatin1String("message")).toString();
    return message.trimmed();
}

NetError makeError(NetError::Kind kind, const QString &message, int httpStatus = 0) {
    NetError error;
    error.kind = kind;
    error.message = message;
    error.httpStatus = httpStatus;
    return error;
}

NetError httpStatusError(int status, const QByteArray &body, const QString &reasonPhrase) {
    QString message = serviceMessage(body);
    if (message.isEmpty()) {
        const QString reason = reasonPhrase.trimmed();
        message = reason.isEmpty()
                      ? QStringLiteral("The service answered with HTTP status %1.").arg(status)
                      : QStringLiteral("The service answered with HTTP status %1 (%2).")
                            .arg(status)
                            .arg(reason);
    }
    return makeError(NetError::HttpStatus, message, status);
}

QString secondsText(std::chrono::milliseconds timeout) {
    return QString::number(double(timeout.count()) / 1000.0, 'g', 3);
}

QString megabytesText(qint64 bytes) {
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'g', 3);
}

} // namespace

namespace {

QPointer<NetAPIClicnet> &sharedClient() {
    static QPointer<NetAPIClicnet> client;
    return client;
}

} // namespace

NetAPIClicnet *NetAPIClicnet::sharedJsonClient() {
    QPointer<NetAPIClicnet> &client = sharedClient();
    if (!client)
        client = new NetAPIClicnet(QUrl(), QCoreApplication::instance());
    return client;
}

void NetAPIClicnet::releaseShared() {
    delete sharedClient().data();
}

NetAPIClicnet::NetAPIClicnet(const QUrl &baseUrl, QObject *parent)
    : QObject(parent)
    , m_baseUrl(baseUrl)
    , m_manager(new QNetworkAccessManager(this)) {}

// The manager and its replies are children and go after QObject has cut this
// object's connections, so a request still running at destruction ends
// without calling its completion.
NetAPIClicnet::~NetAPIClicnet() = default;

bool NetAPIClicnet::isAcceptedContentType(const QByteArray &contentTypeHeader) {
    const QByteArray type = contentTypeHeader.split(';').constFirst().trimmed().toLower();
    return type == "application/json" || type == "text/plain" || type == "text/html" ||
           type == "text/javascript" || type == "text/json";
}

QUrl NetAPIClicnet::redactedUrl(const QUrl &url) {
    QUrlQuery query(url);
    if (!query.hasQueryItem(keyMember))
        return url;
    const QList<QPair<QString, QString>> items = query.queryItems(QUrl::FullyDecoded);
    query.clear();
    for (const auto &[name, value] : items)
        query.addQueryItem(name, name == keyMember ? redacted : value);
    QUrl result = url;
    result.setQuery(query);
    return result;
}

void NetAPIClicnet::requestJsonDataWithPath(const QString &path, const QJsonObject &params,
                                            NetMethodType methodType, Completion done) {
    const QUrl url = m_baseUrl.resolved(QUrl(path));
    qCDebug(lcNet).noquote() << (methodType == NetMethodPost ? "POST" : "GET")
                             << redactedUrl(url).toString()
                             << QJsonDocument(params).toJson(QJsonDocument::Compact);

    if (methodType != NetMethodGet && methodType != NetMethodPost) {
        completeLater(
            done, makeError(NetError::UnsupportedMethod,
                            QStringLiteral("Unsupported request method %1.").arg(int(methodType))));
        return;
    }
    if (!isJsonSafe(params)) {
        completeLater(done, makeError(NetError::InvalidParameters,
                                      QStringLiteral("The request holds a value that JSON "
                                                     "cannot carry.")));
        return;
    }
    if (m_reachability && m_reachability(url) == Reachability::Down) {
        emit networkUnavailable();
        completeLater(done, makeError(NetError::NoNetwork, NetError::noNetworkMessage()));
        return;
    }
    send(url, params, methodType, std::move(done));
}

void NetAPIClicnet::send(const QUrl &url, const QJsonObject &params, NetMethodType methodType,
                         Completion done) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/json; charset=utf-8"));
    request.setTransferTimeout(int(m_transferTimeout.count()));
    // A redirect is answered, not followed: readReply refuses it.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);

    QNetworkReply *reply = nullptr;
    if (methodType == NetMethodPost) {
        reply = m_manager->post(request, QJsonDocument(params).toJson(QJsonDocument::Compact));
    } else {
        QUrl withQuery = url;
        QUrlQuery query(url);
        for (auto it = params.begin(); it != params.end(); ++it)
            query.addQueryItem(it.key(), queryValue(it.value()));
        withQuery.setQuery(query);
        request.setUrl(withQuery);
        reply = m_manager->get(request);
    }
    ++m_pending;
    auto cut = std::make_shared<NetError>();
    guard(reply, cut);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, url, cut, done = std::move(done)] { finish(reply, url, *cut, done); });
}

void NetAPIClicnet::guard(QNetworkReply *reply, const std::shared_ptr<NetError> &cut) {
    const auto cutOff = [reply, cut](const NetError &why) {
        if (cut->isError())
            return;
        *cut = why;
        reply->abort(); // emits finished at once
    };
    const qint64 limit = m_replySizeLimit;
    const auto checkSize = [reply, limit, cutOff] {
        // The body is only read once it is whole, so all of it received so far is available.
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > limit ||
            reply->bytesAvailable() > limit)
            cutOff(makeError(NetError::TooLarge,
                             QStringLiteral("The speech service's reply is larger than %1 MB; "
                                            "nothing was saved.")
                                 .arg(megabytesText(limit))));
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, checkSize);
    connect(reply, &QIODevice::readyRead, reply, checkSize);

    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [cutOff, seconds = secondsText(m_deadline)] {
        cutOff(makeError(NetError::TimedOut,
                         QStringLiteral("The service did not finish its answer within %1 seconds.")
                             .arg(seconds)));
    });
    deadline->start(m_deadline);
}

void NetAPIClicnet::finish(QNetworkReply *reply, const QUrl &url, const NetError &cut,
                           const Completion &done) {
    --m_pending;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();

    Reading reading;
    if (cut.isError()) {
        reading.error = cut;
        reading.error.httpStatus = status;
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Besides the cut-offs above, only the transfer time-out cancels a running request.
        reading.error = makeError(NetError::TimedOut,
                                  QStringLiteral("The service did not answer within %1 seconds.")
                                      .arg(secondsText(m_transferTimeout)),
                                  status);
    } else if (status == 0) {
        reading.error =
            makeError(NetError::Transport, redactedMessage(reply->errorString(), url), status);
    } else {
        reading =
            readReply(status, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(),
                      reply->isOpen() ? reply->readAll() : QByteArray(),
                      reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        if (reading.error.isError())
            reading.error.retryAfterMs =
                retryAfterMs(reply->rawHeader("Retry-After"), QDateTime::currentDateTimeUtc());
        // A reply cut short after its headers still carries a status.
        if (!reading.error.isError() && reply->error() != QNetworkReply::NoError)
            reading = {
                QJsonValue(QJsonValue::Undefined),
                makeError(NetError::Transport, redactedMessage(reply->errorString(), url), status)};
    }
    qCDebug(lcNet).noquote() << "reply" << status << redactedUrl(url).toString()
                             << (reading.error.isError() ? reading.error.message
                                                         : QStringLiteral("ok"));
    done(reading.data, reading.error);
}

int NetAPIClicnet::retryAfterMs(const QByteArray &value, const QDateTime &now) {
    const QByteArray text = value.trimmed();
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    if (isNumber)
        return seconds < 0 ? -1 : int(std::min<qint64>(seconds, INT_MAX / 1000) * 1000);
    const QDateTime read = QLocale::c().toDateTime(
        QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    if (!read.isValid())
        return -1;
    const qint64 wait = now.msecsTo(QDateTime(read.date(), read.time(), Qt::UTC));
    return int(std::clamp<qint64>(wait, 0, INT_MAX));
}

NetAPIClicnet::Reading NetAPIClicnet::readReply(int status, const QByteArray &contentType,
                                                const QByteArray &body,
                                                const QString &reasonPhrase) {
    Reading reading;
    if (status >= 300 && status <= 399) {
        // The service never redirects; following one could carry the text and
        // the key in the URL to another host, over plain http.
        reading.error = makeError(
            NetError::Redirected,
            QStringLiteral("The speech service redirected the request; not followed."), status);
        return reading;
    }
    if (status < 200 || status > 299) {
        reading.error = httpStatusError(status, body, reasonPhrase);
        return reading;
    }
    if (body.trimmed().isEmpty())
        return reading;
    if (!isAcceptedContentType(contentType)) {
        reading.error =
            makeError(NetError::ContentType,
                      QStringLiteral("The service sent a reply of an unexpected type (%1).")
                          .arg(contentType.isEmpty() ? QStringLiteral("none")
                                                     : QString::fromLatin1(contentType)),
                      status);
        return reading;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError ||
        !(document.isObject() || document.isArray())) {
        reading.error =
            makeError(NetError::MalformedReply,
                      QStringLiteral("The service sent a reply that is not valid JSON (%1).")
                          .arg(parseError.errorString()),
                      status);
        return reading;
    }
    if (document.isObject())
        reading.data = document.object();
    else
        reading.data = document.array();
    return reading;
}

void NetAPIClicnet::completeLater(const Completion &done, const NetError &error) {
    QTimer::singleShot(0, this, [done, error] { done(QJsonValue(QJsonValue::Undefined), error); });
}

} // namespace parlino
