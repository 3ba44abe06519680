#include "playback/PlaybackCache.h"

#include <QTest>

using namespace parlino;

namespace {

SpokenAudio audioOf(qsizetype bytes) {
    SpokenAudio audio;
    audio.sampleRate = 22050;
    audio.pcm = QByteArray(bytes, '\1');
    return audio;
}

} // namespace

class TestPlaybackCache : public QObject {
    Q_OBJECT
private slots:
    void keeps_data();
    void keeps();
    void wordAt();
};

// Steps: "+k:N" stores N bytes under k, "?k" looks k up (making it the most
// recent); the rows list which keys remain in a cache of 3,000 bytes.
void TestPlaybackCache::keeps_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("within the budget")
        << QStringList{"+a:1000", "+b:1000"} << QStringList{"a", "b"} << QStringList{};
    QTest::newRow("least recently stored goes")
        << QStringList{"+a:1000", "+b:1000", "+c:1000", "+d:1000"} << QStringList{"b", "c", "d"}
        << QStringList{"a"};
    QTest::newRow("a lookup keeps an entry")
        << QStringList{"+a:1000", "+b:1000", "+c:1000", "?a", "+d:1000"}
        << QStringList{"a", "c", "d"} << QStringList{"b"};
    QTest::newRow("a large entry pushes out several")
        << QStringList{"+a:1000", "+b:1000", "+c:1000", "+d:2500"} << QStringList{"d"}
        << QStringList{"a", "b", "c"};
    QTest::newRow("larger than the budget is not kept")
        << QStringList{"+a:1000", "+big:4000"} << QStringList{"a"} << QStringList{"big"};
    QTest::newRow("storing a key again replaces it")
        << QStringList{"+a:1000", "+a:2000", "+b:1000"} << QStringList{"a", "b"} << QStringList{};
}

void TestPlaybackCache::keeps() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    PlaybackCache cache(3000);
    for (const QString &step : steps) {
        const QByteArray key = step.mid(1).section(u':', 0, 0).toUtf8();
        if (step.startsWith(u'+'))
            cache.insert(key, audioOf(step.section(u':', 1).toInt()));
        else
            QVERIFY(cache.find(key));
    }
    QVERIFY(cache.usedBytes() <= 3000);
    qint64 used = 0;
    for (const QString &key : present) {
        const SpokenAudio *audio = cache.find(key.toUtf8());
        QVERIFY2(audio, qPrintable(key));
        used += audio->bytes();
    }
    for (const QString &key : absent)
        QVERIFY2(!cache.find(key.toUtf8()), qPrintable(key));
    QCOMPARE(cache.usedBytes(), used);
    QCOMPARE(cache.count(), present.size());
}

void TestPlaybackCache::wordAt() {
    SpokenAudio audio;
    audio.words = {{{0, 3}, 100}, {{4, 2}, 500}, {{7, 5}, 500}, {{13, 1}, 900}};
    QCOMPARE(audio.wordAt(0), -1);
    QCOMPARE(audio.wordAt(100), 0);
    QCOMPARE(audio.wordAt(499), 0);
    QCOMPARE(audio.wordAt(500), 2);
    QCOMPARE(audio.wordAt(100000), 3);
}

QTEST_GUILESS_MAIN(TestPlaybackCache)
#include "tst_playbackcache.moc"
