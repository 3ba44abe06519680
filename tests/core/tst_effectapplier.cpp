#include "SpanBuilders.h"
#include "editing/EffectApplier.h"
#include "editing/SpanLookup.h"

#include <QTest>

using namespace parlino;

// The effect applied in the tables: "Volume" loud, so it cannot be mistaken for
// the existing "Emphasis" spans.
static void applyVolume(EffectsArray &spans, qint64 start, qint64 length) {
    EffectApplier::apply(spans, start, length, EffectKind::Volume, QStringLiteral("loud"));
}

// "[10,12) new[12,15) [15,20)": the list with the newly applied span marked.
static QString describe(const EffectsArray &spans) {
    QStringList parts;
    for (const SSMLCharactersModel &s : spans) {
        const bool isNew = s.effects == QLatin1String("Volume");
        parts << QStringLiteral("%1[%2,%3)").arg(isNew ? "new" : "").arg(s.location).arg(s.end());
    }
    return parts.join(u' ');
}

class TestEffectApplier : public QObject {
    Q_OBJECT
private slots:
    void apply_data();
    void apply();
    void piecesKeepTheirEffect();
    void piecesKeepTheirPlace();
    void valueAtTheCaret_data();
    void valueAtTheCaret();
    void pauseGoesIn_data();
    void pauseGoesIn();
    void setPauseValue_data();
    void setPauseValue();
    void deleteAt_data();
    void deleteAt();
};

void TestEffectApplier::apply_data() {
    QTest::addColumn<EffectsArray>("before");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("expected");
    const EffectsArray a{span(10, 20)}; // "Emphasis" strong
    const auto row = [](const char *name, const EffectsArray &before, qint64 start, qint64 length,
                        const char *expected) {
        QTest::newRow(name) << before << start << length << QString(expected);
    };
    row("inside cuts A in two", a, 12, 3, "[10,12) new[12,15) [15,20)");
    row("over A's head", a, 5, 7, "new[5,12) [12,20)");
    row("over A's tail and beyond", a, 15, 10, "[10,15) new[15,25)");
    row("A's tail exactly", a, 15, 5, "[10,15) new[15,20)");
    row("A's head exactly", a, 10, 5, "new[10,15) [15,20)");
    row("exactly A", a, 10, 10, "new[10,20)");
    row("around A", a, 5, 20, "new[5,25)");
    row("right after A: never merged", a, 20, 5, "[10,20) new[20,25)");
    row("right before A", a, 0, 10, "new[0,10) [10,20)");
    row("a caret inside another kind's span cuts nothing", a, 15, 0, "[10,20)");
    row("a caret at A's start changes nothing", a, 10, 0, "[10,20)");
    row("a caret outside adds nothing", a, 25, 0, "[10,20)");
    row("empty list", {}, 3, 4, "new[3,7)");
    row("across two spans", {span(10, 20), span(30, 40)}, 15, 20, "[10,15) new[15,35) [35,40)");
    row("covering a span and cutting the next", {span(10, 20), span(20, 30)}, 5, 20,
        "new[5,25) [25,30)");
    row("identical existing spans both stay", {span(10, 20), span(10, 20, "Sub", "x")}, 30, 2,
        "[10,20) [10,20) new[30,32)");
    row("a nested span goes with containment", {span(12, 14), span(10, 20)}, 30, 2,
        "[10,20) new[30,32)");
    row("sorted by end afterwards", {span(30, 40), span(0, 5)}, 10, 5, "[0,5) new[10,15) [30,40)");
}

void TestEffectApplier::apply() {
    QFETCH(EffectsArray, before);
    QFETCH(qint64, start);
    QFETCH(qint64, length);
    QFETCH(QString, expected);
    applyVolume(before, start, length);
    QCOMPARE(describe(before), expected);
}

void TestEffectApplier::piecesKeepTheirEffect() {
    EffectsArray spans{span(10, 20)};
    applyVolume(spans, 12, 3);
    QCOMPARE(spans.size(), 3);
    for (int i : {0, 2}) {
        QCOMPARE(spans.at(i).effects, "Emphasis");
        QCOMPARE(spans.at(i).ssmlTag, "strong");
        QCOMPARE(spans.at(i).color, EffectKind::find(u"Emphasis")->color());
    }
    QCOMPARE(spans.at(1).ssmlTag, "loud");
    QCOMPARE(spans.at(1).color, EffectKind::find(u"Volume")->color());
}

void TestEffectApplier::piecesKeepTheirPlace() {
    // The tail of a cut span keeps its order among spans with the same end,
    // which decides how their markup nests.
    EffectsArray spans{span(2, 5, "Date", "dmy"), span(4, 5, "Break", "1")};
    applyVolume(spans, 3, 1);
    QCOMPARE(ranges(spans), "[2,3) [3,4) [4,5) [4,5)");
    QStringList effects;
    for (const SSMLCharactersModel &s : std::as_const(spans))
        effects << s.effects;
    QCOMPARE(effects, (QStringList{"Date", "Volume", "Date", "Break"}));
}

void TestEffectApplier::valueAtTheCaret_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QString>("values"); // every span's value afterwards, "-": none found
    const EffectsArray number{span(10, 12, "Say as", "cardinal")};
    const EffectsArray nested{span(10, 20, "Say as", "cardinal"),
                              span(12, 14, "Say as", "fraction")};
    QTest::newRow("inside: the value changes, the range stays")
        << number << 11LL << 0LL << "[10,12)ordinal";
    QTest::newRow("at the start: nothing") << number << 10LL << 0LL << "- [10,12)cardinal";
    QTest::newRow("at the end: nothing") << number << 12LL << 0LL << "- [10,12)cardinal";
    QTest::newRow("the innermost of nested spans")
        << nested << 13LL << 0LL << "[10,20)cardinal [12,14)ordinal";
    QTest::newRow("exactly its range selected") << number << 10LL << 2LL << "[10,12)ordinal";
    QTest::newRow("a wider selection opens on none") << number << 9LL << 3LL << "- [9,12)ordinal";
}

void TestEffectApplier::valueAtTheCaret() {
    QFETCH(EffectsArray, spans);
    QFETCH(qint64, start);
    QFETCH(qint64, length);
    QFETCH(QString, values);
    QStringList found;
    if (EffectApplier::spanAt(spans, start, length, EffectKind::SayAs) < 0)
        found << "-";
    EffectApplier::apply(spans, start, length, EffectKind::SayAs, QStringLiteral("ordinal"));
    for (const SSMLCharactersModel &s : std::as_const(spans))
        found << ranges({s}) + s.ssmlTag;
    QCOMPARE(found.join(u' '), values);
}

void TestEffectApplier::pauseGoesIn_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<qint64>("caret");
    QTest::addColumn<bool>("goesIn");
    const EffectsArray two{span(10, 20), span(30, 40)};
    QTest::newRow("no spans") << EffectsArray{} << qint64(5) << true;
    QTest::newRow("before every span") << two << qint64(5) << true;
    QTest::newRow("at a span's start") << two << qint64(10) << true;
    QTest::newRow("strictly inside a span") << two << qint64(15) << false;
    QTest::newRow("inside the second span") << two << qint64(31) << false;
    QTest::newRow("at a span's end") << two << qint64(20) << true;
    QTest::newRow("after every span") << two << qint64(45) << true;
}

void TestEffectApplier::pauseGoesIn() {
    QFETCH(EffectsArray, spans);
    QFETCH(qint64, caret);
    QFETCH(bool, goesIn);
    QCOMPARE(EffectApplier::pauseGoesIn(spans, caret), goesIn);
}

void TestEffectApplier::setPauseValue_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QStringList>("values");
    const SSMLCharactersModel pause = EffectApplier::makePause(4);
    const auto row = [](const char *name, const EffectsArray &spans, qint64 start, qint64 length,
                        const QStringList &values) {
        QTest::newRow(name) << spans << start << length << values;
    };
    row("caret right after the glyph", {pause}, 5, 0, {"2.5"});
    row("the glyph selected", {pause}, 4, 1, {"2.5"});
    row("caret before the glyph", {pause}, 4, 0, {"1"});
    row("caret moved away", {pause}, 7, 0, {"1"});
    row("more than the glyph selected", {pause}, 3, 2, {"1"});
    row("every pause on the glyph", {pause, span(0, 5, "Sub", "x"), pause}, 5, 0,
        {"2.5", "x", "2.5"});
    row("other effects there stay", {span(4, 6, "Sub", "x")}, 5, 0, {"x"});
}

void TestEffectApplier::setPauseValue() {
    QFETCH(EffectsArray, spans);
    QFETCH(qint64, start);
    QFETCH(qint64, length);
    QFETCH(QStringList, values);
    const QString rangesBefore = ranges(spans);
    EffectApplier::setPauseValue(spans, start, length, QStringLiteral("2.5"));
    QStringList after;
    for (const SSMLCharactersModel &s : std::as_const(spans))
        after << s.ssmlTag;
    QCOMPARE(after, values);
    QCOMPARE(ranges(spans), rangesBefore);
    QCOMPARE(EffectApplier::pauseAt(spans, start, length) >= 0, values.contains("2.5"));
}

void TestEffectApplier::deleteAt_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<qint64>("caret");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("left");
    const EffectsArray three{span(2, 5), span(8, 12, "Break", "1"), span(20, 30)};
    QTest::newRow("empty list") << EffectsArray{} << qint64(3) << ""
                                << "";
    QTest::newRow("before every span: the first") << three << qint64(0) << "[2,5)"
                                                  << "[8,12) [20,30)";
    QTest::newRow("at a span's end") << three << qint64(5) << "[2,5)"
                                     << "[8,12) [20,30)";
    QTest::newRow("between spans: the next") << three << qint64(6) << "[8,12)"
                                             << "[2,5) [20,30)";
    QTest::newRow("inside the last") << three << qint64(25) << "[20,30)"
                                     << "[2,5) [8,12)";
    QTest::newRow("after every span: nothing") << three << qint64(31) << ""
                                               << "[2,5) [8,12) [20,30)";
}

void TestEffectApplier::deleteAt() {
    QFETCH(EffectsArray, spans);
    QFETCH(qint64, caret);
    QFETCH(QString, removed);
    QFETCH(QString, left);
    const std::optional<SSMLCharactersModel> gone = EffectApplier::deleteAt(spans, caret);
    QCOMPARE(gone ? ranges({*gone}) : QString(), removed);
    QCOMPARE(ranges(spans), left);
}

QTEST_GUILESS_MAIN(TestEffectApplier)
#include "tst_effectapplier.moc"
