#include "SpanBuilders.h"
#include "editing/EffectKind.h"
#include "editing/SpanLookup.h"

#include <QTest>

using namespace parlino;

class TestSpanModel : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void namesAreExact_data();
    void namesAreExact();
    void sortByEnd_data();
    void sortByEnd();
    void determineLocation_data();
    void determineLocation();
};

void TestSpanModel::kinds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("options");
    QTest::newRow("Emphasis") << "Emphasis"
                              << "EBDAF2" << 4;
    QTest::newRow("Say as") << "Say as"
                            << "9FE484" << 6;
    QTest::newRow("Volume") << "Volume"
                            << "D5E9E2" << 6;
    QTest::newRow("Date") << "Date"
                          << "8EAFE4" << 5;
    QTest::newRow("Time") << "Time"
                          << "E9E393" << 0;
    QTest::newRow("Sub") << "Sub"
                         << "DF9990" << 0;
    QTest::newRow("Break") << "Break"
                           << "" << 0;
}

void TestSpanModel::kinds() {
    QFETCH(QString, name);
    QFETCH(QString, hex);
    QFETCH(int, options);
    const EffectKind *kind = EffectKind::find(name);
    QVERIFY(kind);
    QCOMPARE(kind->name, name);
    QCOMPARE(kind->colorHex, hex);
    QCOMPARE(kind->isHighlighted(), !hex.isEmpty());
    QCOMPARE(kind->color().isValid(), !hex.isEmpty());
    QCOMPARE(kind->options.size(), options);
    QCOMPARE(&EffectKind::byId(kind->id), kind);
    QCOMPARE(EffectKind::all().size(), 7);
}

void TestSpanModel::namesAreExact_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("lower case") << "emphasis";
    QTest::newRow("no space") << "Sayas";
    QTest::newRow("capital A") << "Say As";
    QTest::newRow("trailing space") << "Break ";
    QTest::newRow("empty") << "";
}

void TestSpanModel::namesAreExact() {
    QFETCH(QString, name);
    QVERIFY(!EffectKind::find(name));
}

void TestSpanModel::sortByEnd_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<QString>("sorted");
    QTest::addColumn<QStringList>("valuesAfter");
    QTest::newRow("ends 9, 4, 6") << EffectsArray{span(0, 9, "Sub", "a"), span(1, 4, "Sub", "b"),
                                                  span(2, 6, "Sub", "c")}
                                  << "[1,4) [2,6) [0,9)" << QStringList{"b", "c", "a"};
    QTest::newRow("equal ends keep their order")
        << EffectsArray{span(5, 8, "Sub", "x"), span(0, 8, "Sub", "y"), span(8, 8, "Sub", "z"),
                        span(1, 2, "Sub", "w")}
        << "[1,2) [5,8) [0,8) [8,8)" << QStringList{"w", "x", "y", "z"};
    QTest::newRow("empty") << EffectsArray{} << "" << QStringList{};
}

void TestSpanModel::sortByEnd() {
    QFETCH(EffectsArray, spans);
    QFETCH(QString, sorted);
    QFETCH(QStringList, valuesAfter);
    ::sortByEnd(spans);
    QCOMPARE(ranges(spans), sorted);
    QStringList values;
    for (const SSMLCharactersModel &s : spans)
        values << s.ssmlTag;
    QCOMPARE(values, valuesAfter);
}

void TestSpanModel::determineLocation_data() {
    QTest::addColumn<EffectsArray>("spans");
    QTest::addColumn<qint64>("caret");
    QTest::addColumn<qsizetype>("index");
    const EffectsArray two{span(2, 5), span(8, 12)};
    for (qint64 caret : {0, 2, 4, 5})
        QTest::addRow("caret %lld gives first", qlonglong(caret)) << two << caret << qsizetype(0);
    for (qint64 caret : {6, 8, 12})
        QTest::addRow("caret %lld gives second", qlonglong(caret)) << two << caret << qsizetype(1);
    QTest::newRow("caret past every span") << two << qint64(13) << qsizetype(-1);
    QTest::newRow("empty list") << EffectsArray{} << qint64(0) << qsizetype(-1);
    QTest::newRow("empty span at caret") << EffectsArray{span(3, 3)} << qint64(3) << qsizetype(0);
}

void TestSpanModel::determineLocation() {
    QFETCH(EffectsArray, spans);
    QFETCH(qint64, caret);
    QFETCH(qsizetype, index);
    QCOMPARE(::determineLocation(spans, caret), index);
}

QTEST_GUILESS_MAIN(TestSpanModel)
#include "tst_spanmodel.moc"
