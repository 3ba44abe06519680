#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

class QSslCertificate;
class QSslKey;
class QTcpServer;
class QTcpSocket;

namespace parlino {

// A stand-in for the text:synthesize service on loopback: records what each
// request really carried and answers with whatever a test sets, down to the
// raw status line and headers, or not at all.
class FakeSynthesisService : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QUrl url;                              // path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    struct Reply {
        Reply() = default;
        Reply(int status, QByteArray contentType, QByteArray body, bool stall = false,
              QByteArray location = QByteArray())
            : status(status)
            , contentType(std::move(contentType))
            , body(std::move(body))
            , stall(stall)
            , location(std::move(location)) {}

        int status = 200;
        QByteArray contentType = "application/json; charset=UTF-8"; // empty: no header
        QByteArray body;
        bool stall = false;  // never answer
        QByteArray location; // a Location header, when not empty
    };
    using Responder = std::function<Reply(const Request &)>;

    explicit FakeSynthesisService(QObject *parent = nullptr);
    ~FakeSynthesisService() override;

    bool listen();
    bool listenTls(const QSslCertificate &certificate, const QSslKey &key);
    QUrl baseUrl() const; // http(s)://127.0.0.1:PORT

    void setReply(const Reply &reply);
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    const QList<Request> &requests() const { return m_requests; }

    // {"audioContent": base64 of audio}, the base64 broken into lines when asked.
    static Reply audioReply(const QByteArray &audio, bool lineBreaks = false);
    // The service's JSON error form.
    static Reply errorReply(int status, const QString &message);
    // {"voices": [...]} with count voices over many languages and the
    // families Standard, Wavenet, Neural2, Studio, Chirp3-HD and Polyglot
    // (which speaks two languages); genders alternate.
    static Reply voicesReply(int count);

private:
    bool start(std::unique_ptr<QTcpServer> server);
    void accept();
    void readFrom(QTcpSocket *socket);

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    Responder m_responder;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

} // namespace parlino
