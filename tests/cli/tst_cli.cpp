#include "CliRun.h"
#include "GoldenData.h"

#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

namespace {

using Run = CliRun;

CliRun run(const QStringList &arguments, const QByteArray &input = QByteArray()) {
    return CliRun::run(arguments, input);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    return writeTestFile(dir.filePath(name), bytes);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void golden_data();
    void golden();
    void ssmlRefuses_data();
    void ssmlRefuses();
    void unknownVerb();
};

// Each row runs a verb on one of the examples in tests/data/cli and compares
// its output byte for byte with the stored result.
void TestCli::golden_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/cli/golden.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

// Each row runs a verb on one of the examples in tests/data/cli and compares
// its output byte for byte with the stored result.
void TestCli::golden() {
    QFETCH(QStringList, row);
    QStringList arguments = row.at(1).split(u' ');
    if (arguments.size() > 1)
        arguments[1] = QStringLiteral(PARLINO_TEST_DATA "/cli/") + arguments.at(1);
    QFile file(QStringLiteral(PARLINO_TEST_DATA "/cli/") + row.at(2));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Run result = run(arguments);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out.toUtf8(), file.readAll());
}

void TestCli::ssmlRefuses_data() {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/cli/refusals.tsv"))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

void TestCli::ssmlRefuses() {
    QFETCH(QStringList, row);
    QTemporaryDir dir;
    const QString path = row.at(1).isEmpty() ? dir.filePath(QStringLiteral("nothing.json"))
                                             : writeFile(dir, row.at(1), row.at(2).toUtf8());
    const Run result = run({"ssml", path});
    QCOMPARE(result.status, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(QStringLiteral("parlino: ") + path + QStringLiteral(": ")),
             qPrintable(result.err));
    QVERIFY2(result.err.contains(row.at(3)), qPrintable(result.err));
    QCOMPARE(result.err.count(u'\n'), 1);
}

void TestCli::unknownVerb() {
    const Run stdinRun = run({"ssml", "-"}, QByteArray("from stdin"));
    QCOMPARE(stdinRun.out, QStringLiteral("from stdin\n"));
    const Run result = run({"nonsense"});
    QCOMPARE(result.status, 2);
    QVERIFY(result.err.contains(QStringLiteral("unknown command")));
    QCOMPARE(run({"ssml"}).status, 2);
    QCOMPARE(run({"voices", "extra"}).status, 2);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
