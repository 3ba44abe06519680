#include "FakeSynthesisService.h"
#include "Logging.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace parlino;

using namespace std::chrono_literals;

namespace {

struct Outcome {
    int calls = 0;
    QJsonValue data;
    NetError error;
};

// Records every completion, so a second call would show.
NetAPIClicnet::Completion recorder(Outcome &outcome) {
    return [&outcome](const QJsonValue &data, const NetError &error) {
        ++outcome.calls;
        outcome.data = data;
        outcome.error = error;
    };
}

const QJsonObject params{{"input", QJsonObject{{"text", "Hello"}}}, {"n", 3}};

} // namespace

class TestNetApiClient : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_service = std::make_unique<FakeSynthesisService>();
        QVERIFY(m_service->listen());
    }
    void sendsJsonPost();
    void replies_data();
    void replies();
    void redirectNotFollowed_data();
    void redirectNotFollowed();
    void slowReplyTimesOut();
    void cutOff_data();
    void cutOff();
    void retryAfter_data();
    void retryAfter();
    void refusedConnection();
    void reachability();
    void overlappingRequests();
    void parametersThatAreNotJson();
    void keyNeverLogged();

private:
    std::unique_ptr<FakeSynthesisService> m_service;
};

void TestNetApiClient::sendsJsonPost() {
    m_service->setReply(
        FakeSynthesisService::Reply{200, "application/json", "{\"ok\":true}", false});
    NetAPIClicnet client(m_service->baseUrl());
    Outcome outcome;
    client.requestJsonDataWithPath("/v1/x:y?key=abc", params, NetMethodPost, recorder(outcome));
    QCOMPARE(outcome.calls, 0); // never inside the call
    QTRY_COMPARE(outcome.calls, 1);
    QCOMPARE(outcome.error.kind, NetError::None);
    QCOMPARE(outcome.data.toObject().value("ok").toBool(), true);
    const FakeSynthesisService::Request &request = m_service->requests().constFirst();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.url.path(), QString("/v1/x:y"));
    QCOMPARE(request.url.query(), QString("key=abc"));
    QCOMPARE(request.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    QCOMPARE(request.body, QJsonDocument(params).toJson(QJsonDocument::Compact));
}

void TestNetApiClient::replies_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected"); // JSON of the data, or part of the message
    const QByteArray json = "application/json";
    QTest::newRow("object") << 200 << json << QByteArray("{\"a\":1}") << 0 << "{\"a\":1}";
    QTest::newRow("array") << 201 << json << QByteArray("[1,2]") << 0 << "[1,2]";
    QTest::newRow("empty 2xx: no data, no error") << 200 << json << QByteArray() << 0 << "";
    QTest::newRow("one space: no data") << 204 << QByteArray() << QByteArray(" ") << 0 << "";
    QTest::newRow("JSON labelled text/html") << 200 << QByteArray("text/html; charset=utf-8")
                                             << QByteArray("{\"a\":1}") << 0 << "{\"a\":1}";
    QTest::newRow("type outside the five")
        << 200 << QByteArray("text/xml") << QByteArray("{\"a\":1}") << int(NetError::ContentType)
        << "text/xml";
    QTest::newRow("no type with a body")
        << 200 << QByteArray() << QByteArray("{}") << int(NetError::ContentType) << "none";
    QTest::newRow("malformed JSON") << 200 << json << QByteArray("{\"a\":")
                                    << int(NetError::MalformedReply) << "not valid JSON";
    QTest::newRow("HTML page") << 200 << QByteArray("text/html")
                               << QByteArray("<html><body>Hi</body></html>")
                               << int(NetError::MalformedReply) << "not valid JSON";
    QTest::newRow("400 with the service's message")
        << 400 << json
        << QByteArray(R"({"error":{"code":400,"message":"Invalid voice name.","status":"X"}})")
        << int(NetError::HttpStatus) << "Invalid voice name.";
    QTest::newRow("500 plain") << 500 << QByteArray("text/plain") << QByteArray("oops")
                               << int(NetError::HttpStatus)
                               << "HTTP status 500 (Internal Server Error)";
}

void TestNetApiClient::replies() {
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    m_service->setReply(FakeSynthesisService::Reply{status, contentType, body, false});
    NetAPIClicnet client;
    Outcome outcome;
    client.requestJsonDataWithPath(m_service->baseUrl().toString() + "/p", params, NetMethodPost,
                                   recorder(outcome));
    QTRY_COMPARE(outcome.calls, 1);
    QCOMPARE(int(outcome.error.kind), kind);
    if (kind == NetError::None) {
        const QJsonDocument document = outcome.data.isObject()
                                           ? QJsonDocument(outcome.data.toObject())
                                           : QJsonDocument(outcome.data.toArray());
        QCOMPARE(outcome.data.isUndefined() ? QString()
                                            : QString(document.toJson(QJsonDocument::Compact)),
                 expected);
    } else {
        QVERIFY(outcome.data.isUndefined());
        QVERIFY2(outcome.error.message.contains(expected), qPrintable(outcome.error.message));
    }
    QCOMPARE(client.pendingRequests(), 0);
}

void TestNetApiClient::redirectNotFollowed_data() {
    QTest::addColumn<int>("status");
    for (const int status : {301, 302, 303, 307, 308})
        QTest::newRow(qPrintable(QString::number(status))) << status;
}

// A redirect to another loopback port is reported, and nothing reaches the
// other port: neither the text nor the key in the URL.
void TestNetApiClient::redirectNotFollowed() {
    QFETCH(int, status);
    FakeSynthesisService elsewhere;
    QVERIFY(elsewhere.listen());
    elsewhere.setReply(FakeSynthesisService::audioReply("stolen"));
    m_service->setReply({status, "text/html", "<a>moved</a>", false,
                         elsewhere.baseUrl().toEncoded() + "/v1/text:synthesize?key=secret"});
    NetAPIClicnet client;
    Outcome outcome;
    client.requestJsonDataWithPath(m_service->baseUrl().toString() +
                                       "/v1/text:synthesize?key=secret",
                                   params, NetMethodPost, recorder(outcome));
    QTRY_COMPARE(outcome.calls, 1);
    QCOMPARE(outcome.error.kind, NetError::Redirected);
    QCOMPARE(outcome.error.message,
             QString("The speech service redirected the request; not followed."));
    QVERIFY(outcome.data.isUndefined());
    QCOMPARE(m_service->requests().size(), 1);
    QCOMPARE(elsewhere.requests().size(), 0);
}

void TestNetApiClient::slowReplyTimesOut() {
    m_service->setReply(FakeSynthesisService::Reply{200, "application/json", "{}", true});
    NetAPIClicnet client(m_service->baseUrl());
    QCOMPARE(client.transferTimeout(), 25000ms);
    client.setTransferTimeout(300ms);
    Outcome outcome;
    client.requestJsonDataWithPath("/slow", params, NetMethodPost, recorder(outcome));
    QTRY_COMPARE_WITH_TIMEOUT(outcome.calls, 1, 5000);
    QCOMPARE(outcome.error.kind, NetError::TimedOut);
    QVERIFY2(outcome.error.message.contains("did not answer"), qPrintable(outcome.error.message));
}

void TestNetApiClient::cutOff_data() {
    QTest::addColumn<FakeSynthesisService::Reply>("reply");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    const qsizetype limit = 1024 * 1024;
    FakeSynthesisService::Reply reply{200, "application/json",
                                      "{\"a\":\"" + QByteArray(limit - 8, 'x') + "\"}"};
    QTest::newRow("at the limit") << reply << 0 << "";
    const QString tooLarge = "The speech service's reply is larger than 1 MB; nothing was saved.";
    reply.body.insert(1, ' ');
    QTest::newRow("announced over the limit") << reply << int(NetError::TooLarge) << tooLarge;
    reply.noLength = true;
    QTest::newRow("streamed over the limit") << reply << int(NetError::TooLarge) << tooLarge;
    // Part of a body, then nothing: the transfer time-out (25 s) is far away.
    FakeSynthesisService::Reply unfinished{200, "application/json", "{\"a\""};
    unfinished.noLength = true;
    QTest::newRow("unfinished at the deadline")
        << unfinished << int(NetError::TimedOut)
        << "The service did not finish its answer within 0.5 seconds.";
}

// A reply is cut off at the size limit or the deadline, whichever comes first.
void TestNetApiClient::cutOff() {
    QFETCH(FakeSynthesisService::Reply, reply);
    QFETCH(int, kind);
    QFETCH(QString, message);
    m_service->setReply(reply);
    NetAPIClicnet client(m_service->baseUrl());
    client.setReplySizeLimit(1024 * 1024);
    client.setDeadline(500ms);
    Outcome outcome;
    client.requestJsonDataWithPath("/x", params, NetMethodPost, recorder(outcome));
    QTRY_COMPARE_WITH_TIMEOUT(outcome.calls, 1, 5000);
    QCOMPARE(int(outcome.error.kind), kind);
    QCOMPARE(outcome.error.message, message);
}

void TestNetApiClient::retryAfter_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("ms");
    QTest::newRow("seconds") << QByteArray(" 7 ") << 7000;
    QTest::newRow("date") << QByteArray("Wed, 21 Oct 2026 07:28:00 GMT") << 30500;
    QTest::newRow("past date") << QByteArray("Wed, 21 Oct 2026 07:27:00 GMT") << 0;
    QTest::newRow("other") << QByteArray("soon") << -1;
}

void TestNetApiClient::retryAfter() {
    QFETCH(QByteArray, value);
    QFETCH(int, ms);
    const QDateTime now(QDate(2026, 10, 21), QTime(7, 27, 29, 500), Qt::UTC);
    QCOMPARE(NetAPIClicnet::retryAfterMs(value, now), ms);
}

void TestNetApiClient::refusedConnection() {
    quint16 port = 0;
    {
        FakeSynthesisService closed; // takes a free port, then gives it back
        QVERIFY(closed.listen());
        port = closed.baseUrl().port();
    }
    NetAPIClicnet client;
    Outcome outcome;
    client.requestJsonDataWithPath(QString("http://127.0.0.1:%1/x").arg(port), params,
                                   NetMethodPost, recorder(outcome));
    QTRY_COMPARE(outcome.calls, 1);
    QCOMPARE(outcome.error.kind, NetError::Transport);
    QVERIFY2(outcome.error.message.contains("refused"), qPrintable(outcome.error.message));
}

void TestNetApiClient::reachability() {
    NetAPIClicnet client(m_service->baseUrl());
    QSignalSpy unavailable(&client, &NetAPIClicnet::networkUnavailable);

    client.setReachabilityProbe([](const QUrl &) { return Reachability::Down; });
    Outcome down;
    client.requestJsonDataWithPath("/x", params, NetMethodPost, recorder(down));
    QCOMPARE(down.calls, 0);
    QTRY_COMPARE(down.calls, 1);
    QCOMPARE(down.error.kind, NetError::NoNetwork);
    QCOMPARE(down.error.message, QString("No Network"));
    QCOMPARE(unavailable.count(), 1);

    // An unknown status is no reason to hold a request back.
    client.setReachabilityProbe([](const QUrl &) { return Reachability::Unknown; });
    Outcome unknown;
    client.requestJsonDataWithPath("/x", params, NetMethodPost, recorder(unknown));
    QTRY_COMPARE(unknown.calls, 1);
    QCOMPARE(unknown.error.kind, NetError::None);
    QCOMPARE(m_service->requests().size(), 1);
    QCOMPARE(down.calls, 1);
    QVERIFY(Reachability::isLoopbackHost("127.0.0.2"));
    QVERIFY(Reachability::isLoopbackHost("::1"));
    QVERIFY(Reachability::isLoopbackHost("LocalHost"));
    QVERIFY(!Reachability::isLoopbackHost("example.com"));
    QCOMPARE(Reachability::statusFor(QUrl("http://127.0.0.1:1/")), Reachability::Up);
}

void TestNetApiClient::overlappingRequests() {
    m_service->setResponder([](const FakeSynthesisService::Request &request) {
        FakeSynthesisService::Reply reply;
        reply.body = request.body;
        return reply;
    });
    m_service->setDelay(200); // both wait at once
    NetAPIClicnet client(m_service->baseUrl());
    Outcome first;
    Outcome second;
    client.requestJsonDataWithPath("/x", QJsonObject{{"n", 1}}, NetMethodPost, recorder(first));
    client.requestJsonDataWithPath("/x", QJsonObject{{"n", 2}}, NetMethodPost, recorder(second));
    QCOMPARE(client.pendingRequests(), 2);
    QTRY_VERIFY(first.calls == 1 && second.calls == 1);
    QCOMPARE(m_service->maxConcurrent(), 2);
    QCOMPARE(first.data.toObject().value("n").toInt(), 1);
    QCOMPARE(second.data.toObject().value("n").toInt(), 2);
    QCOMPARE(m_service->requests().size(), 2);
}

void TestNetApiClient::parametersThatAreNotJson() {
    NetAPIClicnet client(m_service->baseUrl());
    Outcome outcome;
    client.requestJsonDataWithPath("/x", QJsonObject{{"n", QJsonArray{qInf()}}}, NetMethodPost,
                                   recorder(outcome));
    QTRY_COMPARE(outcome.calls, 1);
    QCOMPARE(outcome.error.kind, NetError::InvalidParameters);
    Outcome method;
    client.requestJsonDataWithPath("/x", params, NetMethodType(7), recorder(method));
    QTRY_COMPARE(method.calls, 1);
    QCOMPARE(method.error.kind, NetError::UnsupportedMethod);
    QCOMPARE(m_service->requests().size(), 0);
}

namespace {
QStringList logged;
void capture(QtMsgType, const QMessageLogContext &, const QString &message) {
    logged << message;
}
} // namespace

void TestNetApiClient::keyNeverLogged() {
    QCOMPARE(NetAPIClicnet::redactedUrl(QUrl("https://h/v1/a:b?key=SeCrEt&x=1")).toString(),
             QString("https://h/v1/a:b?key=REDACTED&x=1"));
    m_service->setReply(FakeSynthesisService::errorReply(403, "API key not valid."));
    NetAPIClicnet client(m_service->baseUrl());
    QLoggingCategory::setFilterRules("parlino.*.debug=true");
    logged.clear();
    const auto previous = qInstallMessageHandler(capture);
    Outcome outcome;
    client.requestJsonDataWithPath("/x?key=SeCrEt", params, NetMethodPost, recorder(outcome));
    QTRY_COMPARE(outcome.calls, 1);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(outcome.error.message, QString("API key not valid."));
    QVERIFY(!logged.isEmpty());
    QVERIFY(logged.join('\n').contains("REDACTED"));
    QVERIFY2(!logged.join('\n').contains("SeCrEt"), qPrintable(logged.join('\n')));
}

QTEST_GUILESS_MAIN(TestNetApiClient)
#include "tst_netapiclient.moc"
