#include "GoldenData.h"
#include "SpanBuilders.h"
#include "playback/PlaybackStretch.h"

#include <QHash>
#include <QTest>

using namespace parlino;

class TestPlaybackStretch : public QObject {
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
    void cut_data();
    void cut();
};

void TestPlaybackStretch::choose_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/playback/stretches.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestPlaybackStretch::choose() {
    QFETCH(QStringList, row);
    const TextRange range =
        PlaybackStretch::choose(row.at(1), row.at(2).toInt(), row.at(3).toInt(), row.at(4).toInt());
    QCOMPARE(QStringLiteral("%1 %2").arg(range.location).arg(range.length), row.at(5));
}

void TestPlaybackStretch::cut_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/playback/cuts.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestPlaybackStretch::cut() {
    QFETCH(QStringList, row);
    const QHash<QString, SSMLCharactersModel> named{{"loud", span(7, 11, "Volume", "loud")},
                                                    {"pause", span(11, 12, "Break", "2")},
                                                    {"wide", span(0, 11, "Emphasis", "strong")}};
    EffectsArray spans;
    for (const QString &name : row.at(1).split(u' '))
        spans << named.value(name);
    const TextRange range{row.at(2).section(u' ', 0, 0).toLongLong(),
                          row.at(2).section(u' ', 1).toLongLong()};
    const PlaybackStretch stretch =
        PlaybackStretch::cut(QStringLiteral("Say it loud\u23F8 now"), spans, range);
    QCOMPARE(stretch.text, row.at(3));
    QCOMPARE(stretch.offset, range.location);
    QStringList cutSpans;
    for (const SSMLCharactersModel &s : stretch.spans)
        cutSpans << s.effects + u'=' + s.ssmlTag + ranges({s});
    QCOMPARE(cutSpans.join(u' '), row.at(4));
}

QTEST_GUILESS_MAIN(TestPlaybackStretch)
#include "tst_playbackstretch.moc"
