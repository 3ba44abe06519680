#include "FakeSynthesisService.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

namespace parlino {

FakeSynthesisService::FakeSynthesisService(QObject *parent)
    : QObject(parent) {
    setReply(Reply());
}

FakeSynthesisService::~FakeSynthesisService() = default;

bool FakeSynthesisService::listen() {
    return start(std::make_unique<QTcpServer>());
}

bool FakeSynthesisService::listenTls(const QSslCertificate &certificate, const QSslKey &key) {
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(configuration);
    m_tls = true;
    return start(std::move(server));
}

bool FakeSynthesisService::start(std::unique_ptr<QTcpServer> server) {
    m_server = std::move(server);
    // Emitted once a connection is ready, after the handshake for TLS.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &FakeSynthesisService::accept);
    return m_server->listen(QHostAddress::LocalHost, 0);
}

QUrl FakeSynthesisService::baseUrl() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                    .arg(m_tls ? QLatin1String("https") : QLatin1String("http"))
                    .arg(m_server->serverPort()));
}

void FakeSynthesisService::setReply(const Reply &reply) {
    m_responder = [reply](const Request &) { return reply; };
}

FakeSynthesisService::Reply FakeSynthesisService::audioReply(const QByteArray &audio,
                                                             bool lineBreaks) {
    QByteArray base64 = audio.toBase64();
    if (lineBreaks) {
        for (qsizetype at = 8; at < base64.size(); at += 10)
            base64.insert(at, "\r\n");
    }
    Reply reply;
    reply.body = "{\"audioContent\": \"" + base64.replace("\r\n", "\\r\\n") + "\"}";
    return reply;
}

FakeSynthesisService::Reply FakeSynthesisService::errorReply(int status, const QString &message) {
    Reply reply;
    reply.status = status;
    reply.body = QJsonDocument(QJsonObject{{"error", QJsonObject{{"code", status},
                                                                 {"message", message},
                                                                 {"status", "INVALID_ARGUMENT"}}}})
                     .toJson();
    return reply;
}

FakeSynthesisService::Reply FakeSynthesisService::voicesReply(int count) {
    static const char *const codes[] = {"en-US", "en-GB", "de-DE",  "fr-FR", "ro-RO", "es-US",
                                        "cy-GB", "ja-JP", "cmn-CN", "hi-IN", "ca-ES", "is-IS"};
    static const char *const families[] = {"Standard", "Wavenet",   "Neural2",
                                           "Studio",   "Chirp3-HD", "Polyglot"};
    static const char *const genders[] = {"MALE", "FEMALE", "NEUTRAL"};
    QJsonArray voices;
    for (int i = 0; i < count; ++i) {
        const QString code = QLatin1String(codes[i % 12]);
        const QString family = QLatin1String(families[(i / 12) % 6]);
        static const char *const personas[] = {"Aoede",  "Puck", "Charon", "Kore",
                                               "Fenrir", "Leda", "Orus",   "Zephyr"};
        // Unique for up to 8 x 72 voices.
        const QString last = family == QLatin1String("Chirp3-HD")
                                 ? QLatin1String(personas[(i / 72) % 8])
                                 : QString(QChar(u'A' + (i / 72) % 26));
        QJsonArray languageCodes{code};
        if (family == QLatin1String("Polyglot"))
            languageCodes.append(QStringLiteral("es-ES"));
        voices.append(QJsonObject{{"languageCodes", languageCodes},
                                  {"name", QStringLiteral("%1-%2-%3").arg(code, family, last)},
                                  {"ssmlGender", genders[i % 3]},
                                  {"naturalSampleRateHertz", 24000}});
    }
    Reply reply;
    reply.body = QJsonDocument(QJsonObject{{"voices", voices}}).toJson(QJsonDocument::Compact);
    return reply;
}

void FakeSynthesisService::accept() {
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void FakeSynthesisService::readFrom(QTcpSocket *socket) {
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    Request request;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.url = QUrl::fromEncoded(requestLine.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length").toLongLong();
    if (buffer.size() < headEnd + 4 + length)
        return;
    request.body = buffer.mid(headEnd + 4, length);
    m_buffers.remove(socket);
    m_requests.append(request);

    const Reply reply = m_responder(request);
    if (reply.stall)
        return;
    static const QHash<int, QByteArray> reasons{
        {200, "OK"}, {400, "Bad Request"}, {500, "Internal Server Error"}, {502, "Bad Gateway"}};
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                          reasons.value(reply.status, "Status") + "\r\n";
    if (!reply.contentType.isEmpty())
        response += "Content-Type: " + reply.contentType + "\r\n";
    if (!reply.location.isEmpty())
        response += "Location: " + reply.location + "\r\n";
    response += "Content-Length: " + QByteArray::number(reply.body.size()) +
                "\r\nConnection: close\r\n\r\n" + reply.body;
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace parlino
