#include "CliRun.h"
#include "FakeSynthesisService.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

namespace {

const QByteArray key = "AIzaVoicesCliKey_0123456789";

// Whether a line of the output starts with start.
bool hasLineStarting(const CliRun &run, const QString &start) {
    return (u'\n' + run.out).contains(u'\n' + start);
}

} // namespace

// `parlino voices` with the service's list, the cache and eSpeak's languages,
// and conversions with voices of the list in use.
class TestVoicesCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cloudListFromServiceThenCache();
    void offlineList();
    void usage_data();
    void usage();

private:
    FakeSynthesisService m_service;
    QTemporaryDir m_cache;
};

void TestVoicesCommand::initTestCase() {
    QVERIFY(m_service.listen());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS"); // no keyring in this process
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
    qputenv("PARLINO_ENDPOINT", m_service.baseUrl().toEncoded());
    qputenv("PARLINO_API_KEY", key);
    m_service.setResponder([](const FakeSynthesisService::Request &request) {
        return request.url.path() == QLatin1String("/v1/voices")
                   ? FakeSynthesisService::voicesReply(300)
                   : FakeSynthesisService::audioReply("ID3 audio");
    });
}

void TestVoicesCommand::cloudListFromServiceThenCache() {
    const QString voice = QStringLiteral("ro-RO-Chirp3-HD-Aoede");
    QTemporaryDir dir;
    const QString text = writeTestFile(dir.filePath("t.txt"), "Salut");
    // Before any list is cached, a voice of the service alone is unknown.
    QCOMPARE(CliRun::run({"request", "--voice", voice, text}).status, 2);

    const CliRun fetched = CliRun::run({"voices", "--engine", "cloud"});
    QCOMPARE(fetched.status, 0);
    QVERIFY2(fetched.err.contains("the service's voice list"), qPrintable(fetched.err));
    QVERIFY(hasLineStarting(fetched, "Romanian\tro-RO-Chirp3-HD-Aoede "));
    QCOMPARE(m_service.requests().size(), 1);

    // The fresh cache answers the next listing; `voices` alone prints the same.
    const CliRun cached = CliRun::run({"voices"});
    QCOMPARE(m_service.requests().size(), 1);
    QVERIFY2(cached.err.contains("cached on"), qPrintable(cached.err));
    QCOMPARE(cached.out, fetched.out);

    const CliRun json = CliRun::run({"voices", "--engine", "cloud", "--json"});
    QCOMPARE(json.outLines().size(), 300);
    const QJsonObject first = QJsonDocument::fromJson(json.outLines().first().toUtf8()).object();
    QCOMPARE(first.keys(), (QStringList{"engine", "family", "gender", "languageCodes", "name"}));
    QCOMPARE(first["engine"].toString(), QStringLiteral("cloud"));

    // A voice of the cached list is accepted; Chirp 3: HD gets no pitch.
    const CliRun request = CliRun::run({"request", "--voice", voice, "--pitch", "3", text});
    QCOMPARE(request.status, 0);
    QVERIFY2(!request.out.contains("pitch"), qPrintable(request.out));
}

void TestVoicesCommand::offlineList() {
    const CliRun lines = CliRun::run({"voices", "--engine", "offline"});
    QCOMPARE(lines.status, 0);
    QVERIFY(hasLineStarting(lines, "Welsh\tcy-eSpeak-A cy-eSpeak-B"));
    QVERIFY(hasLineStarting(lines, "Spanish (US)\tes-419-eSpeak-A"));
    QVERIFY(lines.outLines().size() > 120);
    const CliRun json = CliRun::run({"voices", "--engine", "offline", "--json"});
    const QJsonObject welsh =
        QJsonDocument::fromJson(json.outLines().filter("cy-eSpeak-B").first().toUtf8()).object();
    QCOMPARE(welsh["engine"].toString(), QStringLiteral("offline"));
    QCOMPARE(welsh["gender"].toString(), QStringLiteral("female"));
    QCOMPARE(welsh["family"].toString(), QStringLiteral("eSpeak"));

    QTemporaryDir dir;
    const QString text = writeTestFile(dir.filePath("t.txt"), "Bore da");
    const QString output = dir.filePath("welsh.mp3");
    const CliRun converted = CliRun::run(
        {"convert", "--engine", "offline", "--voice", "cy-eSpeak-B", "--output", output, text});
    QCOMPARE(converted.err, QString());
    QCOMPARE(converted.status, 0);
    QVERIFY(QFileInfo(output).size() > 1000);
}

void TestVoicesCommand::usage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknown engine") << QStringList{"voices", "--engine", "robot"};
    QTest::newRow("a file") << QStringList{"voices", "x.txt"};
    QTest::newRow("unknown option") << QStringList{"voices", "--all"};
}

void TestVoicesCommand::usage() {
    QFETCH(QStringList, arguments);
    const CliRun result = CliRun::run(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY(result.err.contains("usage: parlino voices"));
}

QTEST_GUILESS_MAIN(TestVoicesCommand)
#include "tst_voicescommand.moc"
