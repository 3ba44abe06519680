#include "FakeSynthesisService.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "synthesis/cloud/Linear16Audio.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QJsonArray>
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

struct Preview {
    int rate = 0;
    QByteArray pcm;
    QList<std::pair<QString, qint64>> marks;
    QString error;
    bool ended = false;
};

Preview preview(CloudSpeechEngine &engine, const QJsonObject &request) {
    Preview result;
    SpeechPreviewHandlers handlers;
    handlers.started = [&](int rate) { result.rate = rate; };
    handlers.audio = [&](const QByteArray &pcm) { result.pcm += pcm; };
    handlers.mark = [&](const QString &name, qint64 sample) {
        result.marks.append({name, sample});
    };
    handlers.ended = [&](const SpeechError &error) {
        result.error = error.message;
        result.ended = true;
    };
    engine.preview(request, handlers);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(result.ended, 10000); }();
    return result;
}

const QJsonObject markedRequest{
    {"input", QJsonObject{{"ssml", "<speak><mark name='w0'/>Hi <mark name='w1'/>you</speak>"}}},
    {"voice", QJsonObject{{"languageCode", "en-GB"}, {"name", "en-GB-Standard-A"}}},
    {"audioConfig", QJsonObject{{"audioEncoding", "MP3"}}}};

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
    void retryDetails_data();
    void retryDetails();
    void endpointProblem_data();
    void endpointProblem();
    void noKey();
    void https();
    void previewAsksForTimedWav();
    void previewFailures_data();
    void previewFailures();
    void timedMp3();
    void wavReading_data();
    void wavReading();
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
    const QString noAudio = QStringLiteral("The speech service returned no usable audio.");
    QTest::newRow("audio with line breaks")
        << FakeSynthesisService::audioReply(mp3, true) << QString() << int(SpeechError::None);
    QTest::newRow("refused: the service's message")
        << FakeSynthesisService::errorReply(400, "Invalid SSML.") << "Invalid SSML."
        << int(SpeechError::RefusedByService);
    QTest::newRow("reply without audioContent")
        << json("{\"x\":1}") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("empty reply") << json("") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audioContent not a string")
        << json("{\"audioContent\":12}") << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audioContent empty")
        << json("{\"audioContent\":\"\"}") << noAudio << int(SpeechError::NoAudio);
    QByteArray stray = FakeSynthesisService::audioReply(mp3).body;
    stray.insert(stray.indexOf(mp3.toBase64().mid(8)), '*');
    QTest::newRow("a character outside base64")
        << json(stray) << noAudio << int(SpeechError::NoAudio);
    QTest::newRow("audio that is not MP3") << FakeSynthesisService::audioReply("RIFF\0\0\0\0WAVE")
                                           << noAudio << int(SpeechError::NoAudio);
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

void TestCloudSpeechEngine::retryDetails_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("retryAfterMs");
    QTest::addColumn<bool>("timedOut");
    QTest::newRow("busy, with a wait") << "busy" << 429 << 7000 << false;
    QTest::newRow("failing for a moment") << "fail" << 503 << -1 << false;
    QTest::newRow("input over the limit") << "Hello there" << 400 << -1 << false;
    QTest::newRow("no answer") << "Hi" << 0 << -1 << true;
}

// A failed request tells the conversion whether and when a new try may help.
void TestCloudSpeechEngine::retryDetails() {
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(int, retryAfterMs);
    QFETCH(bool, timedOut);
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply({200, {}, {}, true}); // never answers
    service.setInputByteLimit(10);
    service.failInputs("busy", 429, 1, "7");
    service.failInputs("fail", 503);
    NetAPIClicnet client;
    client.setTransferTimeout(std::chrono::milliseconds(300));
    CloudSpeechEngine engine(service.baseUrl(), key, &client);
    const SpeechError error = synthesize(engine, {{"input", QJsonObject{{"text", text}}}}).error;
    QCOMPARE(error.httpStatus, status);
    QCOMPARE(error.retryAfterMs, retryAfterMs);
    QCOMPARE(error.timedOut, timedOut);
    QCOMPARE(error.isRetryable(), status != 400);
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

// A preview asks v1beta1 for LINEAR16 and the marks' times, and hands on the
// WAV's samples with each mark at its sample.
void TestCloudSpeechEngine::previewAsksForTimedWav() {
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setResponder(FakeSynthesisService::speakingResponder(mp3));
    CloudSpeechEngine engine(service.baseUrl(), key);
    const Preview result = preview(engine, markedRequest);
    QCOMPARE(result.error, QString());
    const FakeSynthesisService::Request &sent = service.requests().constFirst();
    QCOMPARE(sent.url.path(), QString("/v1beta1/text:synthesize"));
    const QJsonObject body = QJsonDocument::fromJson(sent.body).object();
    QCOMPARE(body["audioConfig"]["audioEncoding"].toString(), QString("LINEAR16"));
    QCOMPARE(body["enableTimePointing"].toArray(), QJsonArray{"SSML_MARK"});
    QCOMPARE(body["input"], markedRequest["input"]);
    const int rate = FakeSynthesisService::speakingRate;
    QCOMPARE(result.rate, rate);
    QCOMPARE(result.pcm.size(), qsizetype(2.5 * rate) * 2);
    QCOMPARE(result.marks,
             (QList<std::pair<QString, qint64>>{{"w0", rate / 2}, {"w1", rate * 3 / 2}}));
}

void TestCloudSpeechEngine::previewFailures_data() {
    QTest::addColumn<FakeSynthesisService::Reply>("reply");
    QTest::addColumn<QString>("error");
    const auto json = [](const QByteArray &body) {
        return FakeSynthesisService::Reply{200, "application/json", body, false};
    };
    QTest::newRow("the service's message")
        << FakeSynthesisService::errorReply(400, "Invalid SSML.") << "Invalid SSML.";
    QTest::newRow("no audio") << json("{}") << "The speech service returned no usable audio.";
    QTest::newRow("MP3 instead of WAV")
        << FakeSynthesisService::audioReply(mp3) << "The speech service's audio is not a WAV file.";
}

void TestCloudSpeechEngine::previewFailures() {
    QFETCH(FakeSynthesisService::Reply, reply);
    QFETCH(QString, error);
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply(reply);
    CloudSpeechEngine engine(service.baseUrl(), key);
    const Preview result = preview(engine, markedRequest);
    QCOMPARE(result.error, error);
    QCOMPARE(result.rate, 0);
}

// For subtitles: MP3 from v1beta1 with the marks' times; the length follows
// from the 32 kbit/s rate.
void TestCloudSpeechEngine::timedMp3() {
    FakeSynthesisService service;
    QVERIFY(service.listen());
    const QByteArray fourSeconds(16000, '\xff');
    service.setResponder(FakeSynthesisService::speakingResponder(fourSeconds));
    CloudSpeechEngine engine(service.baseUrl(), key);
    QList<SpeechEngine::MarkTime> marks;
    double seconds = 0;
    bool ended = false;
    engine.synthesizeTimed(markedRequest,
                           [&](const QByteArray &audio, const QList<SpeechEngine::MarkTime> &m,
                               double s, const SpeechError &) {
                               QCOMPARE(audio, fourSeconds);
                               marks = m;
                               seconds = s;
                               ended = true;
                           });
    QTRY_VERIFY_WITH_TIMEOUT(ended, 10000);
    QCOMPARE(service.requests().constFirst().url.path(), QString("/v1beta1/text:synthesize"));
    QCOMPARE(marks.size(), 2);
    QCOMPARE(marks.at(1).name, QString("w1"));
    QCOMPARE(marks.at(1).seconds, 1.5);
    QCOMPARE(seconds, 4.0);
}

void TestCloudSpeechEngine::wavReading_data() {
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<QByteArray>("expected"); // mono PCM
    QTest::addColumn<QString>("error");
    const QByteArray mono("\x01\x00\x02\x00\xff\xff", 6);
    QTest::newRow("mono") << FakeSynthesisService::wav(mono, 16000) << mono << QString();
    QByteArray stereo =
        FakeSynthesisService::wav(QByteArray("\x10\x00\x30\x00\xfe\xff\xfe\xff", 8), 16000);
    stereo[22] = 2; // channels
    QTest::newRow("stereo is mixed down")
        << stereo << QByteArray("\x20\x00\xfe\xff", 4) << QString();
    QByteArray eightBit = FakeSynthesisService::wav(mono, 16000);
    eightBit[34] = 8;
    QTest::newRow("8-bit") << eightBit << QByteArray()
                           << "The speech service's WAV audio is not 16-bit PCM.";
    QTest::newRow("not WAV") << mp3 << QByteArray()
                             << "The speech service's audio is not a WAV file.";
}

void TestCloudSpeechEngine::wavReading() {
    QFETCH(QByteArray, wav);
    QFETCH(QByteArray, expected);
    QFETCH(QString, error);
    Linear16Audio::Pcm pcm;
    QString problem;
    QCOMPARE(Linear16Audio::read(wav, &pcm, &problem), error.isEmpty());
    QCOMPARE(problem, error);
    QCOMPARE(pcm.samples, expected);
}

QTEST_GUILESS_MAIN(TestCloudSpeechEngine)
#include "tst_cloudspeechengine.moc"
