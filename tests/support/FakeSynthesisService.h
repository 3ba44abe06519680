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
// raw status line and headers, or not at all. Each connection is answered on
// its own, so delayed answers to concurrent requests overlap.
//
// For conversions in parts: setInputByteLimit(serviceInputLimit) refuses
// oversized input as the service does, failInputs() fails chosen
// requests, setDelay() answers slowly, and numberedResponder() answers
// each request with an MP3 whose frames carry the request's index, which
// numbersIn() reads back from a joined file.
class FakeSynthesisService : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QUrl url;                              // path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
        int index = 0; // its place in requests()

        // The "input" member's "text" or "ssml".
        QString input() const;
        qint64 inputBytes() const { return input().toUtf8().size(); }
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
        bool stall = false;    // never answer
        QByteArray location;   // a Location header, when not empty
        QByteArray retryAfter; // a Retry-After header, when not empty
        bool noLength = false; // no Content-Length, and the connection stays open after the body
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

    static constexpr qint64 serviceInputLimit = 5000;
    // Input over this many UTF-8 bytes gets the service's 400; 0: no limit.
    void setInputByteLimit(qint64 bytes) { m_inputByteLimit = bytes; }
    // Answers the first `times` requests whose input holds the marker (-1:
    // all of them) with the service's error form.
    void failInputs(const QString &marker, int status, int times = 1,
                    const QByteArray &retryAfter = {}) {
        m_failures.append({marker, status, times, retryAfter});
    }
    // Every answer waits this long after its request arrived.
    void setDelay(int ms) { m_delayMs = ms; }
    // The most requests that had arrived and were not yet answered at once.
    int maxConcurrent() const { return m_maxOpen; }

    // An empty ID3 tag, then silent MPEG-2 Layer III frames (24,000 Hz mono,
    // 32 kbit/s: 96 bytes and 576 samples each) whose spare bytes hold "req"
    // and the index as a big-endian 32-bit number.
    static QByteArray numberedMp3(int index, int frames = 8);
    // Answers every request with numberedMp3(request.index).
    static Responder numberedResponder();
    // The indices of the numbered frames in an MP3, in order, a run of one
    // index counted once.
    static QList<int> numbersIn(const QByteArray &mp3);

    // {"audioContent": base64 of audio}, the base64 broken into lines when asked.
    static Reply audioReply(const QByteArray &audio, bool lineBreaks = false);
    // The service's JSON error form.
    static Reply errorReply(int status, const QString &message);
    // {"voices": [...]} with count voices over many languages and the
    // families Standard, Wavenet, Neural2, Studio, Chirp3-HD and Polyglot
    // (which speaks two languages); genders alternate.
    static Reply voicesReply(int count);

    // A WAV file (LINEAR16) of 16-bit mono samples.
    static QByteArray wav(const QByteArray &pcm, int sampleRate);
    // Answers like the service: "timepoints" for every <mark name="..."/> of
    // the SSML when the request enables time pointing (v1beta1 only), a
    // second apart from 0.5 s on; LINEAR16 requests get a WAV of a 440 Hz tone
    // at 24,000 Hz lasting until 0.5 s after the last mark, others the given MP3.
    static Responder speakingResponder(const QByteArray &mp3);
    static constexpr int speakingRate = 24000;

private:
    bool start(std::unique_ptr<QTcpServer> server);
    void accept();
    void readFrom(QTcpSocket *socket);
    Reply replyTo(const Request &request);
    void answer(QTcpSocket *socket, const Reply &reply);

    struct Failure {
        QString marker;
        int status;
        int times; // -1: always
        QByteArray retryAfter;
    };

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    Responder m_responder;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    qint64 m_inputByteLimit = 0;
    QList<Failure> m_failures;
    int m_delayMs = 0;
    int m_open = 0;
    int m_maxOpen = 0;
};

} // namespace parlino
