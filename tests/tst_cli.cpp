#include "CliRun.h"

#include <QTemporaryDir>
#include <QTest>

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
    void ssml_data();
    void ssml();
    void ssmlRefuses_data();
    void ssmlRefuses();
    void voices();
    void unknownVerb();
};

void TestCli::ssml_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain text file") << "a.txt" << QByteArray("Hello <world>") << "Hello <world>\n";
    QTest::newRow("document with a pause")
        << "doc.json"
        << QByteArray(
               R"({"text":"Wait\u23F8now","effects":[{"effect":"Break","location":4,"length":1,"value":"2"}]})")
        << "<speak>Wait<break time='2s' />now</speak>\n";
    QTest::newRow("document without effects")
        << "doc.json" << QByteArray(R"({"text":"Hi & bye"})") << "Hi & bye\n";
}

void TestCli::ssml() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const Run result = run({"ssml", writeFile(dir, name, content)});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, expected);
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

void TestCli::voices() {
    const Run result = run({"voices"});
    QCOMPARE(result.status, 0);
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 37);
    QCOMPARE(lines.first(),
             QStringLiteral("Arabic\tar-XA-Standard-A ar-XA-Standard-B ar-XA-Standard-C"));
    QCOMPARE(lines.last(), QStringLiteral("Welsh\t"));
    QVERIFY(lines.contains(QStringLiteral("English (US)\ten-US-Standard-B en-US-Standard-C "
                                          "en-US-Standard-D en-US-Standard-E")));
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
