#include "FakeSynthesisService.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QJsonDocument>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

namespace {

struct Result {
    int calls = 0;
    QByteArray audio;
    SpeechError error;
};

Result synthesize(CloudSpeechEngine &engine, const QJsonObject &request = QJsonObject()) {
    Result result;
    engine.synthesize(request, [&result](const QByteArray &audio, const SpeechError &error) {
        ++result.calls;
        result.audio = audio;
        result.error = error;
    });
    [&] { QTRY_COMPARE_WITH_TIMEOUT(result.calls, 1, 10000); }();
    return result;
}

const QString key = QStringLiteral("AIzaTestKey_0123456789-abcdefghijklmnopq");
const QByteArray mp3("ID3\x04\x00\x00\xff\xfb\x90\x64 some frames", 24);

} // namespace

class TestCloudSpeechEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sendsTheRequest();
    void replies_data();
    void replies();
    void endpointProblem_data();
    void endpointProblem();
    void noKey();
    void https();
};

void TestCloudSpeechEngine::initTestCase() {
    // No desktop keyring in this process: an empty key stays empty.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("PARLINO_API_KEY");
}

void TestCloudSpeechEngine::sendsTheRequest() {
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply(FakeSynthesisService::audioReply(mp3));
    QUrl endpoint = service.baseUrl();
    endpoint.setPath("/proxy/");
    CloudSpeechEngine engine(endpoint, key);
    const QJsonObject request{{"input", QJsonObject{{"text", "Hello"}}},
                              {"voice", QJsonObject{{"languageCode", "en-GB"}}}};
    const Result result = synthesize(engine, request);
    QCOMPARE(result.error.kind, SpeechError::None);
    QCOMPARE(result.audio, mp3);
    const FakeSynthesisService::Request &sent = service.requests().constFirst();
    QCOMPARE(sent.method, QByteArray("POST"));
    QCOMPARE(sent.url.path(), QString("/proxy/v1/text:synthesize"));
    QCOMPARE(sent.url.query(), "key=" + key);
    QCOMPARE(sent.headers.value("content-type"), QByteArray("application/json; charset=utf-8"));
    QCOMPARE(QJsonDocument::fromJson(sent.body).object(), request);
}

void TestCloudSpeechEngine::replies_data() {
    QTest::addColumn<FakeSynthesisService::Reply>("reply");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("kind");
    const auto json = [](const QByteArray &body) {
        return FakeSynthesisService::Reply{200, "application/json", body, false};
    };
    const QString noAudio = QStringLiteral("The speech service returned no audio.");
    QTest::newRow("audio with line breaks")
        << FakeSynthesisService::audioReply(mp3, true) << QString() << int(SpeechError::None);
    QTest::newRow("refused: the service's message")
        << FakeSynthesisService::errorReply(400, "Invalid SSML.") << "Invalid SSML."
        << int(SpeechError::RefusedByService);
    QTest::newRow("reply without audioContent")
        << json("{\"x\":1}") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("empty reply") << json("") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audioContent not base64 text")
        << json("{\"audioContent\":\"!!\"}") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audioContent not a string")
        << json("{\"audioContent\":12}") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audioContent empty")
        << json("{\"audioContent\":\"\"}") << noAudio << int(SpeechError::NoAudio);
}

void TestCloudSpeechEngine::replies() {
    QFETCH(FakeSynthesisService::Reply, reply);
    QFETCH(QString, error);
    QFETCH(int, kind);
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply(reply);
    CloudSpeechEngine engine(service.baseUrl(), key);
    const Result result = synthesize(engine);
    QCOMPARE(result.error.message, error);
    QCOMPARE(int(result.error.kind), kind);
    QCOMPARE(result.audio, error.isEmpty() ? mp3 : QByteArray());
}

void TestCloudSpeechEngine::endpointProblem_data() {
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QString>("problem"); // part of it; empty when accepted
    const auto row = [](const char *name, const char *endpoint, const char *problem) {
        QTest::newRow(name) << endpoint << problem;
    };
    row("service", "https://texttospeech.googleapis.com", "");
    row("http loopback", "http://127.0.0.1:8080", "");
    row("http localhost", "http://localhost:8080/base", "");
    row("http elsewhere", "http://tts.example.com", "plain http");
    row("http to a LAN address", "http://192.168.1.2", "plain http");
    row("other scheme", "ftp://example.com", "https://");
    row("no host", "https://", "not a valid URL");
    row("not a URL at all", "not a url",
        "\"not a url\" is not a valid URL; it must start with https://");
    row("a local file", "file:///tmp/tts", "\"file:///tmp/tts\" must start with https://");
    row("query", "https://example.com/?key=x", "query");
}

void TestCloudSpeechEngine::endpointProblem() {
    QFETCH(QString, endpoint);
    QFETCH(QString, problem);
    const QString found = CloudSpeechEngine::endpointProblem(endpoint);
    QCOMPARE(found.isEmpty(), problem.isEmpty());
    QVERIFY2(found.contains(problem), qPrintable(found));
    if (!problem.isEmpty()) {
        // Nothing is sent to a refused endpoint.
        CloudSpeechEngine engine{QUrl(endpoint, QUrl::StrictMode), key};
        QVERIFY(!synthesize(engine).error.message.isEmpty());
    }
}

void TestCloudSpeechEngine::noKey() {
    FakeSynthesisService service;
    QVERIFY(service.listen());
    CloudSpeechEngine engine(service.baseUrl());
    const Result missing = synthesize(engine);
    QVERIFY(missing.error.message.contains("No API key"));
    QCOMPARE(missing.error.kind, SpeechError::NoKey);
    QCOMPARE(service.requests().size(), 0);
    qputenv("PARLINO_API_KEY", key.toLatin1());
    service.setReply(FakeSynthesisService::audioReply(mp3));
    QCOMPARE(synthesize(engine).audio, mp3);
    qunsetenv("PARLINO_API_KEY");
    QCOMPARE(service.requests().constFirst().url.query(), "key=" + key);
}

void TestCloudSpeechEngine::https() {
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem"),
                   "-days", "2", "-subj", "/CN=localhost", "-addext",
                   "subjectAltName=DNS:localhost,IP:127.0.0.1"});
    if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0)
        QSKIP("openssl could not make a test certificate");
    const auto certificates = QSslCertificate::fromPath(dir.filePath("cert.pem"));
    QFile keyFile(dir.filePath("key.pem"));
    QVERIFY(keyFile.open(QIODevice::ReadOnly));
    const QSslKey privateKey(&keyFile, QSsl::Ec);
    QCOMPARE(certificates.size(), 1);
    QVERIFY(!privateKey.isNull());

    FakeSynthesisService service;
    QVERIFY(service.listenTls(certificates.constFirst(), privateKey));
    service.setReply(FakeSynthesisService::audioReply(mp3));
    // Separate clients: a connection that failed its handshake is not retried with new trust.
    NetAPIClicnet firstClient;
    CloudSpeechEngine engine(service.baseUrl(), key, &firstClient);
    const Result untrusted = synthesize(engine);
    QVERIFY2(untrusted.error.message.contains("certificate", Qt::CaseInsensitive),
             qPrintable(untrusted.error.message));
    QCOMPARE(untrusted.error.kind, SpeechError::Transport);
    QVERIFY(!untrusted.error.message.contains(key));
    QCOMPARE(service.requests().size(), 0);

    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = original;
    trusting.addCaCertificates(certificates);
    QSslConfiguration::setDefaultConfiguration(trusting);
    NetAPIClicnet secondClient;
    CloudSpeechEngine trustingEngine(service.baseUrl(), key, &secondClient);
    const Result trusted = synthesize(trustingEngine);
    QSslConfiguration::setDefaultConfiguration(original);
    QCOMPARE(trusted.error.kind, SpeechError::None);
    QCOMPARE(trusted.audio, mp3);
    QCOMPARE(service.requests().size(), 1);
}

QTEST_GUILESS_MAIN(TestCloudSpeechEngine)
#include "tst_cloudspeechengine.moc"
