#include "SpanBuilders.h"
#include "playback/PlaybackStretch.h"

#include <QTest>

using namespace parlino;

Q_DECLARE_METATYPE(parlino::TextRange)

class TestPlaybackStretch : public QObject {
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
    void cut_data();
    void cut();
};

void TestPlaybackStretch::choose_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    QTest::addColumn<int>("caret");
    QTest::addColumn<TextRange>("expected");
    const QString text = QStringLiteral("One two three");
    QTest::newRow("selection") << text << 4 << 7 << 7 << TextRange{4, 3};
    QTest::newRow("caret to the end") << text << 4 << 4 << 4 << TextRange{4, 9};
    QTest::newRow("caret at the end plays all") << text << 13 << 13 << 13 << TextRange{0, 13};
    QTest::newRow("caret at the start") << text << 0 << 0 << 0 << TextRange{0, 13};
    const QString emoji = QStringLiteral("a \U0001F600 b");
    QTest::newRow("edges inside a surrogate pair move out")
        << emoji << 3 << 3 << 3 << TextRange{2, 4};
    QTest::newRow("selection end inside a pair") << emoji << 0 << 3 << 3 << TextRange{0, 4};
}

void TestPlaybackStretch::choose() {
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    QFETCH(int, caret);
    QFETCH(TextRange, expected);
    const TextRange range = PlaybackStretch::choose(text, selectionStart, selectionEnd, caret);
    QCOMPARE(range.location, expected.location);
    QCOMPARE(range.length, expected.length);
}

void TestPlaybackStretch::cut_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<TextRange>("range");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<EffectsArray>("expectedSpans");
    // "Say it loud⏸ now": 0 S, 4 it, 7 loud, 11 pause glyph, 13 now.
    const SSMLCharactersModel loud = span(7, 11, "Volume", "loud");
    const SSMLCharactersModel pause = span(11, 12, "Break", "2");
    const SSMLCharactersModel wide = span(0, 11, "Emphasis", "strong");
    QTest::newRow("span inside is moved to the stretch")
        << EffectsArray{loud} << TextRange{4, 8} << QStringLiteral("it loud\u23F8")
        << EffectsArray{span(3, 7, "Volume", "loud")};
    QTest::newRow("span crossing the start is cut")
        << EffectsArray{wide} << TextRange{4, 5} << QStringLiteral("it lo")
        << EffectsArray{span(0, 5, "Emphasis", "strong")};
    QTest::newRow("span crossing the end is cut")
        << EffectsArray{loud} << TextRange{0, 9} << QStringLiteral("Say it lo")
        << EffectsArray{span(7, 9, "Volume", "loud")};
    QTest::newRow("spans outside are left out")
        << EffectsArray{loud, pause} << TextRange{13, 3} << QStringLiteral("now") << EffectsArray{};
    QTest::newRow("a pause inside keeps its length")
        << EffectsArray{loud, pause} << TextRange{11, 5} << QStringLiteral("\u23F8 now")
        << EffectsArray{span(0, 1, "Break", "2")};
    QTest::newRow("list order is kept")
        << EffectsArray{loud, wide} << TextRange{0, 16} << QStringLiteral("Say it loud\u23F8 now")
        << EffectsArray{loud, wide};
}

void TestPlaybackStretch::cut() {
    QFETCH(EffectsArray, spans);
    QFETCH(TextRange, range);
    QFETCH(QString, expectedText);
    QFETCH(EffectsArray, expectedSpans);
    const QString text = QStringLiteral("Say it loud\u23F8 now");
    const PlaybackStretch stretch = PlaybackStretch::cut(text, spans, range);
    QCOMPARE(stretch.text, expectedText);
    QCOMPARE(stretch.offset, range.location);
    QCOMPARE(stretch.spans, expectedSpans);
}

QTEST_GUILESS_MAIN(TestPlaybackStretch)
#include "tst_playbackstretch.moc"
