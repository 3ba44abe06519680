#include "GoldenData.h"
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

// "[10,12) Volume[12,15) [15,20)": the list in order, spans other than Emphasis named.
static QString describe(const EffectsArray &spans) {
    QStringList parts;
    for (const SSMLCharactersModel &s : spans)
        parts << (s.effects == QLatin1String("Emphasis") ? QString() : s.effects) + ranges({s});
    return parts.join(u' ');
}

// "10-20;30-40:Sub:x": spans as the tables write them, Emphasis strong unless named.
static EffectsArray spansOf(const QString &cell) {
    EffectsArray spans;
    for (const QString &part : cell.split(u';', Qt::SkipEmptyParts)) {
        const QStringList fields = part.split(u':');
        const qint64 location = fields.at(0).section(u'-', 0, 0).toLongLong();
        const qint64 end = fields.at(0).section(u'-', 1, 1).toLongLong();
        spans << (fields.size() > 2 ? span(location, end, fields.at(1), fields.at(2))
                                    : span(location, end));
    }
    return spans;
}

// "- [10,12)cardinal": every span with its value, after "-" when `found` is false.
static QString values(const EffectsArray &spans, bool found) {
    QStringList parts;
    if (!found)
        parts << "-";
    for (const SSMLCharactersModel &s : spans)
        parts << ranges({s}) + s.ssmlTag;
    return parts.join(u' ');
}

// Runs one operation of the table on the spans and describes the outcome.
static QString outcome(const QString &operation, EffectsArray &spans, qint64 start, qint64 length) {
    if (operation == u"apply") {
        applyVolume(spans, start, length);
        return describe(spans);
    }
    if (operation == u"say as") {
        const bool found = EffectApplier::spanAt(spans, start, length, EffectKind::SayAs) >= 0;
        EffectApplier::apply(spans, start, length, EffectKind::SayAs, QStringLiteral("ordinal"));
        return values(spans, found);
    }
    if (operation == u"pause value") {
        const bool found = EffectApplier::pauseAt(spans, start, length) >= 0;
        EffectApplier::setPauseValue(spans, start, length, QStringLiteral("2.5"));
        return values(spans, found);
    }
    if (operation == u"pause goes in")
        return EffectApplier::pauseGoesIn(spans, start) ? "yes" : "no";
    const std::optional<SSMLCharactersModel> gone = EffectApplier::deleteAt(spans, start);
    return ((gone ? ranges({*gone}) : QString()) + " / " + ranges(spans)).trimmed();
}

class TestEffectApplier : public QObject {
    Q_OBJECT
private slots:
    void operations_data();
    void operations();
    void piecesKeepTheirEffect();
};

void TestEffectApplier::operations_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/effectapplier.tsv"))
        QTest::newRow(qPrintable(row.at(1) + ": " + row.at(0))) << row;
}

void TestEffectApplier::operations() {
    QFETCH(QStringList, row);
    EffectsArray spans = spansOf(row.at(2));
    QCOMPARE(outcome(row.at(1), spans, row.at(3).toLongLong(), row.at(4).toLongLong()), row.at(5));
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

QTEST_GUILESS_MAIN(TestEffectApplier)
#include "tst_effectapplier.moc"
