#include "FakeSynthesisService.h"

#include <QDataStream>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>

#include <cmath>

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
    request.index = int(m_requests.size());
    m_buffers.remove(socket);
    m_requests.append(request);
    m_maxOpen = std::max(m_maxOpen, ++m_open);

    const Reply reply = replyTo(request);
    if (reply.stall)
        return;
    QTimer::singleShot(m_delayMs, socket, [this, socket, reply] { answer(socket, reply); });
}

FakeSynthesisService::Reply FakeSynthesisService::replyTo(const Request &request) {
    if (m_inputByteLimit > 0 && request.inputBytes() > m_inputByteLimit)
        return errorReply(
            400,
            QStringLiteral("Either `input.text` or `input.ssml` is longer than the limit of %1 "
                           "bytes. This limit is different from quotas. To fix, reduce the "
                           "byte length of the characters in this request, or consider "
                           "using the Long Audio API: https://cloud.google.com/"
                           "text-to-speech/docs/create-audio-text-long-audio.")
                .arg(m_inputByteLimit));
    for (Failure &failure : m_failures) {
        if (failure.times == 0 || !request.input().contains(failure.marker))
            continue;
        if (failure.times > 0)
            --failure.times;
        Reply reply = errorReply(failure.status, QStringLiteral("Failed as the test asked."));
        reply.retryAfter = failure.retryAfter;
        return reply;
    }
    return m_responder(request);
}

void FakeSynthesisService::answer(QTcpSocket *socket, const Reply &reply) {
    --m_open;
    static const QHash<int, QByteArray> reasons{
        {200, "OK"}, {400, "Bad Request"}, {500, "Internal Server Error"}, {502, "Bad Gateway"}};
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      reasons.value(reply.status, "Status") + "\r\n";
    if (!reply.contentType.isEmpty())
        head += "Content-Type: " + reply.contentType + "\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    if (!reply.retryAfter.isEmpty())
        head += "Retry-After: " + reply.retryAfter + "\r\n";
    if (!reply.noLength)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(head + "Connection: close\r\n\r\n" + reply.body);
    if (!reply.noLength)
        socket->disconnectFromHost();
}

QString FakeSynthesisService::Request::input() const {
    const QJsonValue input = QJsonDocument::fromJson(body)["input"];
    return input["text"].toString() + input["ssml"].toString();
}

QByteArray FakeSynthesisService::numberedMp3(int index, int frames) {
    QByteArray frame(96, '\0');
    frame.replace(0, 4, "\xff\xf3\x44\xc0");
    // After the header and 9 bytes of side information that give the frame
    // no audio data, the rest is ancillary data.
    frame.replace(13, 3, "req");
    qToBigEndian<qint32>(index, frame.data() + 16);
    QByteArray mp3("ID3\x04\0\0\0\0\0\0", 10);
    for (int i = 0; i < frames; ++i)
        mp3 += frame;
    return mp3;
}

FakeSynthesisService::Responder FakeSynthesisService::numberedResponder() {
    return [](const Request &request) { return audioReply(numberedMp3(request.index)); };
}

QList<int> FakeSynthesisService::numbersIn(const QByteArray &mp3) {
    QList<int> numbers;
    for (qsizetype at = mp3.indexOf("req"); at >= 0 && at + 7 <= mp3.size();
         at = mp3.indexOf("req", at + 7)) {
        const int number = qFromBigEndian<qint32>(mp3.constData() + at + 3);
        if (numbers.isEmpty() || numbers.constLast() != number)
            numbers.append(number);
    }
    return numbers;
}

QByteArray FakeSynthesisService::wav(const QByteArray &pcm, int sampleRate) {
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(sampleRate) << quint32(sampleRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    return header + pcm;
}

FakeSynthesisService::Responder FakeSynthesisService::speakingResponder(const QByteArray &mp3) {
    return [mp3](const Request &request) {
        const QJsonObject body = QJsonDocument::fromJson(request.body).object();
        const QString ssml = body["input"]["ssml"].toString();
        const bool timed = request.url.path().contains(QLatin1String("/v1beta1/")) &&
                           body["enableTimePointing"].toArray().contains("SSML_MARK");
        static const QRegularExpression mark(QStringLiteral("<mark name=['\"]([^'\"]*)['\"]"));
        QJsonArray timepoints;
        double time = 0.5;
        for (auto it = mark.globalMatch(ssml); it.hasNext(); time += 1.0) {
            timepoints.append(
                QJsonObject{{"markName", it.next().captured(1)}, {"timeSeconds", time}});
        }
        QByteArray audio = mp3;
        if (body["audioConfig"]["audioEncoding"].toString() == QLatin1String("LINEAR16")) {
            const int count = int(time * speakingRate);
            QByteArray pcm(count * 2, Qt::Uninitialized);
            for (int i = 0; i < count; ++i)
                qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * i / speakingRate)),
                                        pcm.data() + 2 * i);
            audio = wav(pcm, speakingRate);
        }
        QJsonObject reply{{"audioContent", QString::fromLatin1(audio.toBase64())}};
        if (timed)
            reply.insert("timepoints", timepoints);
        return Reply{200, "application/json; charset=UTF-8",
                     QJsonDocument(reply).toJson(QJsonDocument::Compact), false};
    };
}

} // namespace parlino
