#include "GoldenData.h"
#include "SpanBuilders.h"
#include "editing/ColorCode.h"
#include "editing/EffectKind.h"
#include "editing/SpanLookup.h"

#include <QTest>

using namespace parlino;

// The rows of one table under tests/data/editing, named by their first cell.
static void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/editing/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

class TestSpanModel : public QObject {
    Q_OBJECT
private slots:
    void kinds_data() { rowsOf("kinds.tsv"); }
    void kinds();
    void namesAreExact();
    void sortByEnd_data() { rowsOf("sortbyend.tsv"); }
    void sortByEnd();
    void determineLocation_data();
    void determineLocation();
    void colorCode_data() { rowsOf("colorcodes.tsv"); }
    void colorCode();
};

void TestSpanModel::kinds() {
    QFETCH(QStringList, row);
    const QString name = row.at(0);
    const QString hex = row.at(1);
    const int options = row.at(2).toInt();
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

// Names match exactly: no case folding, no trimming.
void TestSpanModel::namesAreExact() {
    for (const char *name : {"emphasis", "Sayas", "Say As", "Break ", ""})
        QVERIFY2(!EffectKind::find(QString::fromUtf8(name)), name);
}

void TestSpanModel::sortByEnd() {
    QFETCH(QStringList, row);
    EffectsArray spans;
    for (const QString &written : row.at(1).split(u'|', Qt::SkipEmptyParts)) {
        const QStringList s = written.split(u' ');
        spans << span(s.at(0).toLongLong(), s.at(1).toLongLong(), "Sub", s.at(2));
    }
    ::sortByEnd(spans);
    QCOMPARE(ranges(spans), row.at(2));
    QStringList values;
    for (const SSMLCharactersModel &s : spans)
        values << s.ssmlTag;
    QCOMPARE(values.join(u' '), row.at(3));
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

// Codes are read as a C hexadecimal integer would be, the low 24 bits giving
// the colour; whatever cannot be read gives black, never an invalid colour.
void TestSpanModel::colorCode() {
    QFETCH(QStringList, row);
    QString code = row.at(1) == "(null)" ? QString() : row.at(1);
    code.replace("\\t", "\t").replace("\\n", "\n");
    const QColor color = colorWithHexCode(code);
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(color.red()).arg(color.green()).arg(color.blue()),
             row.at(2));
    QCOMPARE(color.alpha(), 255);
}

QTEST_GUILESS_MAIN(TestSpanModel)
#include "tst_spanmodel.moc"
