#include "CliRun.h"

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
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QString effects = QStringLiteral(PARLINO_TEST_DATA "/cli/effects.json");
    const QString plain = QStringLiteral(PARLINO_TEST_DATA "/cli/plain.txt");
    QTest::newRow("ssml, document with every effect")
        << QStringList{"ssml", effects} << "ssml-effects";
    QTest::newRow("ssml, plain text") << QStringList{"ssml", plain} << "ssml-plain";
    QTest::newRow("request, document with every effect")
        << QStringList{"request", effects} << "request-effects";
    QTest::newRow("request, plain text") << QStringList{"request", plain} << "request-plain";
    QTest::newRow("voices") << QStringList{"voices"} << "voices";
}

void TestCli::golden() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QFile file(QStringLiteral(PARLINO_TEST_DATA "/cli/%1.out").arg(expected));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Run result = run(arguments);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out.toUtf8(), file.readAll());
}

void TestCli::ssmlRefuses_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("bad json") << "bad.json" << QByteArray("{") << "not valid JSON";
    QTest::newRow("span outside")
        << "out.json"
        << QByteArray(R"({"text":"a","effects":[{"effect":"Sub","location":0,"length":9}]})")
        << "outside the text";
    QTest::newRow("missing file") << "" << QByteArray() << "No such file";
    QTest::newRow("empty text") << "empty.txt" << QByteArray() << "the text is empty";
    QTest::newRow("empty document text")
        << "empty.json" << QByteArray(R"({"text":""})") << "the text is empty";
}

void TestCli::ssmlRefuses() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = name.isEmpty() ? dir.filePath(QStringLiteral("nothing.json"))
                                        : writeFile(dir, name, content);
    const Run result = run({"ssml", path});
    QCOMPARE(result.status, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(QStringLiteral("parlino: ") + path + QStringLiteral(": ")),
             qPrintable(result.err));
    QVERIFY2(result.err.contains(reason), qPrintable(result.err));
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
