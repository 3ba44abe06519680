#include "GoldenData.h"
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

void TestPlaybackCache::keeps_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/playback/cachekeeps.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestPlaybackCache::keeps() {
    QFETCH(QStringList, row);
    const QStringList steps = row.at(1).split(u' ');
    const QStringList present = row.at(2).split(u' ', Qt::SkipEmptyParts);
    const QStringList absent = row.at(3).split(u' ', Qt::SkipEmptyParts);
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
