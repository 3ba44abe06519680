#include "FakeSynthesisService.h"
#include "catalogue/LiveVoices.h"
#include "catalogue/VoiceSearch.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

Q_DECLARE_METATYPE(FakeSynthesisService::Reply)

namespace {

const QString key = QStringLiteral("AIzaVoicesKey_0123456789");
const QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(9, 0), Qt::UTC);

// One refresh, waited for: the error it ended with.
QString refreshed(LiveVoices &live, const QUrl &endpoint, bool force = false) {
    QSignalSpy ended(&live, &LiveVoices::refreshEnded);
    live.refresh(endpoint, key, force);
    // Ends after refresh() returns, never inside it.
    if (ended.count() != 0)
        return QStringLiteral("ended inside refresh()");
    if (!ended.wait(10000))
        return QStringLiteral("never ended");
    return ended.takeFirst().at(0).toString();
}

} // namespace

class TestLiveVoices : public QObject {
    Q_OBJECT
private slots:
    void init();
    void replies_data();
    void replies();
    void cacheFreshStaleAndDown();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString cachePath() const { return m_dir->filePath(QStringLiteral("c/voices.json")); }
};

void TestLiveVoices::init() {
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestLiveVoices::replies_data() {
    QTest::addColumn<FakeSynthesisService::Reply>("reply");
    QTest::addColumn<int>("voices");
    QTest::addColumn<QString>("error");
    QTest::newRow("three hundred voices, six families")
        << FakeSynthesisService::voicesReply(300) << 300 << "";
    QTest::newRow("service error")
        << FakeSynthesisService::errorReply(403, "API key not valid.") << 0 << "API key not valid.";
    FakeSynthesisService::Reply malformed;
    malformed.body = "{\"voices\": [";
    QTest::newRow("malformed JSON") << malformed << 0 << "not valid JSON";
    QTest::newRow("empty list") << FakeSynthesisService::voicesReply(0) << 0 << "no voices";
}

void TestLiveVoices::replies() {
    QFETCH(FakeSynthesisService::Reply, reply);
    QFETCH(int, voices);
    QFETCH(QString, error);
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply(reply);
    NetAPIClicnet client;
    LiveVoices live(VoiceCache(cachePath()), &client);
    QSignalSpy updated(&live, &LiveVoices::updated);

    const QString ended = refreshed(live, service.baseUrl());
    QVERIFY2(error.isEmpty() ? ended.isEmpty() : ended.contains(error), qPrintable(ended));
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(service.requests().first().method, QByteArray("GET"));
    QCOMPARE(service.requests().first().url.path(), QStringLiteral("/v1/voices"));
    QCOMPARE(QFile::exists(cachePath()), voices > 0);
    if (voices == 0) {
        // A failure keeps the list in use: the built-in one here.
        QCOMPARE(live.source(), LiveVoices::Source::BuiltIn);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(live.catalogue().allVoices().size(), 88);
        return;
    }
    QCOMPARE(live.source(), LiveVoices::Source::Service);
    QCOMPARE(live.catalogue().allVoices().size(), voices);
    QVERIFY(live.catalogue().voicesOf("Romanian").size() > 0);
    QCOMPARE(VoiceSearch::familiesOf(live.catalogue().allVoices()).size(), 7);
    QFile cache(cachePath());
    QVERIFY(cache.open(QIODevice::ReadOnly));
    QVERIFY(!cache.readAll().contains(key.toUtf8()));
}

// A fresh cache is used without asking; a stale one is used at once and
// replaced by the service's answer; with the service down it stays in use;
// another endpoint's cache is never used.
void TestLiveVoices::cacheFreshStaleAndDown() {
    auto service = std::make_unique<FakeSynthesisService>();
    QVERIFY(service->listen());
    const QUrl endpoint = service->baseUrl();
    service->setReply(FakeSynthesisService::voicesReply(200));
    NetAPIClicnet client;
    QDateTime now = start;
    const auto make = [&] {
        auto live = std::make_unique<LiveVoices>(VoiceCache(cachePath()), &client);
        live->setClock([&now] { return now; });
        return live;
    };
    QCOMPARE(refreshed(*make(), endpoint), QString());

    now = start.addSecs(3600);
    auto fresh = make();
    QCOMPARE(refreshed(*fresh, endpoint), QString());
    QCOMPARE(fresh->source(), LiveVoices::Source::Cache);
    QCOMPARE(fresh->fetched(), start);
    QCOMPARE(service->requests().size(), 1);
    QCOMPARE(refreshed(*fresh, endpoint, true), QString());
    QCOMPARE(service->requests().size(), 2);

    now = start.addDays(2);
    service->setReply(FakeSynthesisService::voicesReply(250));
    auto stale = make();
    QCOMPARE(refreshed(*stale, endpoint), QString());
    QCOMPARE(stale->source(), LiveVoices::Source::Service);
    QCOMPARE(stale->catalogue().allVoices().size(), 250);

    service.reset();
    now = start.addDays(4);
    auto down = make();
    QVERIFY(!refreshed(*down, endpoint).isEmpty());
    QCOMPARE(down->source(), LiveVoices::Source::Cache);
    QCOMPARE(down->catalogue().allVoices().size(), 250);
    QVERIFY(!make()->useCache(QUrl("https://tts.example")));
}

QTEST_GUILESS_MAIN(TestLiveVoices)
#include "tst_livevoices.moc"
