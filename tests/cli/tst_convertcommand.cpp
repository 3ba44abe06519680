#include "CliRun.h"
#include "FakeSynthesisService.h"
#include "Mp3Frames.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <csignal>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace parlino;

namespace {

struct Run {
    int status;
    QStringList out; // lines
    QString err;
};

Run run(const QStringList &arguments, const QByteArray &input = QByteArray()) {
    const CliRun result = CliRun::run(arguments, input);
    return {result.status, result.outLines(), result.err};
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    return writeTestFile(dir.filePath(name), bytes);
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray key = "AIzaCliKey_0123456789-abcdefghijklmnopqr";

} // namespace

class TestConvertCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void request_data();
    void request();
    void convertOne();
    void outputPath_data();
    void outputPath();
    void severalWithOneFailing();
    void progressOnATerminal();
    void refusedInputs_data();
    void refusedInputs();
    void serviceUnreachable();
    void offlineEngine_data();
    void offlineEngine();
    void subtitles_data();
    void subtitles();
    void longTextInParts();
    void interruptedWritesNothing();

private:
    QStringList heard(const QByteArray &mp3) const;

    FakeSynthesisService m_service;
    QTemporaryDir m_dir;
};

// Texts containing "fail" are refused by the service; others get an MP3
// numbered with the request, which heard() reads back.
static FakeSynthesisService::Reply echo(const FakeSynthesisService::Request &request) {
    return request.input().contains("fail")
               ? FakeSynthesisService::errorReply(400, "Text too odd.")
               : FakeSynthesisService::audioReply(FakeSynthesisService::numberedMp3(request.index));
}

// The inputs of the requests whose audio an MP3 holds, in order.
QStringList TestConvertCommand::heard(const QByteArray &mp3) const {
    QStringList inputs;
    for (const int index : FakeSynthesisService::numbersIn(mp3))
        inputs << m_service.requests().at(index).input();
    return inputs;
}

void TestConvertCommand::initTestCase() {
    QVERIFY(m_service.listen());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS"); // no keyring in this process
    qputenv("PARLINO_ENDPOINT", m_service.baseUrl().toEncoded());
    qputenv("PARLINO_API_KEY", key);
    m_service.setResponder(&echo);
}

void TestConvertCommand::init() {
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
}

void TestConvertCommand::request_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("json");
    QTest::newRow("start-up defaults")
        << QByteArray(R"({"text":"Hi"})") << QStringList()
        << R"({"audioConfig":{"audioEncoding":"MP3","pitch":0,"speakingRate":"1.00"},"input":{"text":"Hi"},"voice":{"languageCode":"ar-XA","name":"ar-XA-Standard-A"}})";
    QTest::newRow("document settings")
        << QByteArray(R"({"text":"Hi","voice":"en-GB-Standard-B","pitch":-4,"speed":125})")
        << QStringList()
        << R"({"audioConfig":{"audioEncoding":"MP3","pitch":-4,"speakingRate":"1.25"},"input":{"text":"Hi"},"voice":{"languageCode":"en-GB","name":"en-GB-Standard-B"}})";
    QTest::newRow("options win")
        << QByteArray(
               R"({"text":"Hi","effects":[{"effect":"Sub","location":0,"length":2,"value":"Hello"}],"voice":"en-GB-Standard-B","pitch":-4})")
        << QStringList{"--voice", "de-DE-Standard-A", "--pitch", "-3.5", "--speed", "33"}
        << R"({"audioConfig":{"audioEncoding":"MP3","pitch":-3,"speakingRate":"0.33"},"input":{"ssml":"<speak><sub alias='Hello'>Hi</sub></speak>"},"voice":{"languageCode":"de-DE","name":"de-DE-Standard-A"}})";
}

void TestConvertCommand::request() {
    QFETCH(QByteArray, document);
    QFETCH(QStringList, options);
    QFETCH(QString, json);
    const int sent = m_service.requests().size();
    const Run result =
        run(QStringList{"request"} + options + QStringList{write(m_dir, "d.json", document)});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringList{json});
    QCOMPARE(m_service.requests().size(), sent);
}

void TestConvertCommand::convertOne() {
    const QString input = write(m_dir, "a.txt", "Hello there");
    const QString target = m_dir.filePath("out.mp3");
    const Run toFile = run({"convert", "--engine", "cloud", "--output", target, input});
    QCOMPARE(toFile.err, QString());
    QCOMPARE(toFile.status, 0);
    QCOMPARE(toFile.out, QStringList{target});
    QCOMPARE(heard(contents(target)), QStringList{"Hello there"});
    QCOMPARE(m_service.requests().constLast().url.query(), QString("key=" + key));

    const Run fromStdin = run({"convert", "--output-dir", m_dir.path(), "-"}, "from stdin");
    QCOMPARE(fromStdin.status, 0);
    QCOMPARE(fromStdin.out.size(), 1);
    QVERIFY(QRegularExpression("/Parlino[0-9]{17}\\.mp3$").match(fromStdin.out.at(0)).hasMatch());
    QCOMPARE(heard(contents(fromStdin.out.at(0))), QStringList{"from stdin"});
}

void TestConvertCommand::outputPath_data() {
    QTest::addColumn<QString>("existing"); // what is at the output path beforehand
    QTest::addColumn<bool>("force");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // part of stderr; empty when written
    const auto row = [](const char *name, const char *existing, bool force, int status,
                        const char *message) {
        QTest::newRow(name) << existing << force << status << message;
    };
    row("nothing", "", false, 0, "");
    row("nothing, forced", "", true, 0, "");
    row("a file", "file", false, 2, "already exists; --force replaces it");
    row("a file, forced", "file", true, 0, "");
    row("a symlink to a file", "symlink", false, 2, "not a regular file");
    row("a symlink to a file, forced", "symlink", true, 2, "not a regular file");
    row("a dangling symlink, forced", "dangling", true, 2, "not a regular file");
    row("a FIFO, forced", "fifo", true, 2, "not a regular file");
    row("a device, forced", "device", true, 2, "not a regular file");
    row("a folder, forced", "folder", true, 2, "not a regular file");
    row("standard output", "-", false, 0, "");
}

// --output writes a new file, replaces only a regular file and only with
// --force, and with "-" writes the MP3 to standard output.
void TestConvertCommand::outputPath() {
    QFETCH(QString, existing);
    QFETCH(bool, force);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString input = write(m_dir, "a.txt", "Hello there");
    const QString victim = write(m_dir, "victim", "keep me");
    QString target = m_dir.filePath("out.mp3");
    const QByteArray path = QFile::encodeName(target);
    if (existing == "file")
        write(m_dir, "out.mp3", "old");
    else if (existing == "symlink")
        QVERIFY(QFile::link(victim, target));
    else if (existing == "dangling")
        QVERIFY(QFile::link(m_dir.filePath("nowhere"), target));
    else if (existing == "fifo")
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    else if (existing == "device" && ::mknod(path.constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        QSKIP("making a device node needs root");
    else if (existing == "folder")
        QVERIFY(QDir().mkdir(target));
    else if (existing == "-")
        target = "-";
    const QFileInfo before(target);

    QStringList arguments{"convert", "--engine", "cloud", "--output", target, input};
    if (force)
        arguments << "--force";
    const Run result = run(arguments);
    QCOMPARE(result.status, status);
    if (status != 0) {
        QVERIFY2(result.err.startsWith("parlino: " + target + " "), qPrintable(result.err));
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QCOMPARE(result.out, QStringList());
        const QFileInfo after(target);
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isFile(), before.isFile());
        QCOMPARE(after.size(), before.size());
    } else if (target == "-") {
        QCOMPARE(result.err, QString());
        QCOMPARE(heard(CliRun::run(arguments).outBytes), QStringList{"Hello there"});
    } else {
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out, QStringList{target});
        QCOMPARE(heard(contents(target)), QStringList{"Hello there"});
    }
    QCOMPARE(contents(victim), QByteArray("keep me"));
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({".*part"}, QDir::Files | QDir::Hidden), QStringList());
}

void TestConvertCommand::severalWithOneFailing() {
    const QString outDir = m_dir.filePath("out");
    QDir().mkpath(outDir);
    const QString one = write(m_dir, "one.txt", "first");
    const QString bad = write(m_dir, "bad.txt", "this will fail");
    const QString two = write(m_dir, "two.txt", "second");
    const Run result = run({"convert", "--output-dir", outDir, one, bad, two});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.out.size(), 2);
    QCOMPARE(heard(contents(result.out.at(0))), QStringList{"first"});
    QCOMPARE(heard(contents(result.out.at(1))), QStringList{"second"});
    QCOMPARE(result.err, "parlino: " + bad + ": Text too odd.\n"); // no progress: not a terminal
    QCOMPARE(QDir(outDir).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestConvertCommand::progressOnATerminal() {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        QSKIP("no pseudo-terminal");
    const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    QVERIFY(slave >= 0);
    QFile terminal;
    QVERIFY(terminal.open(slave, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    QTextStream err(&terminal);
    QString out;
    QTextStream outStream(&out);
    QBuffer in;
    const QStringList files{write(m_dir, "a.txt", "one"), write(m_dir, "b.txt", "two")};
    const int status =
        CommandLine::run(QStringList{"parlino", "convert", "--output-dir", m_dir.path()} + files,
                         {in, outStream, err});
    err.flush();
    terminal.close();
    QByteArray shown(4096, '\0');
    const auto length = ::read(master, shown.data(), shown.size());
    ::close(master);
    QCOMPARE(status, 0);
    shown.truncate(std::max<qsizetype>(length, 0));
    QVERIFY2(shown.contains("[1/2] " + files.at(0).toUtf8()), shown.constData());
    QVERIFY2(shown.contains("[2/2] " + files.at(1).toUtf8()), shown.constData());
}

void TestConvertCommand::refusedInputs_data() {
    QTest::addColumn<QStringList>("arguments"); // "IN" is a good input file
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("written");
    QTest::newRow("unknown engine")
        << QStringList{"--engine", "robot", "IN"} << "unknown engine" << 0;
    QTest::newRow("unknown voice")
        << QStringList{"--voice", "xx-YY-Nobody", "IN"} << "unknown voice" << 0;
    QTest::newRow("pitch out of range") << QStringList{"--pitch", "21", "IN"} << "outside" << 0;
    QTest::newRow("speed not a number")
        << QStringList{"--speed", "fast", "IN"} << "needs a number" << 0;
    QTest::newRow("--output with two files")
        << QStringList{"--output", "x.mp3", "IN", "IN"} << "exactly one FILE" << 0;
    QTest::newRow("missing file among good ones")
        << QStringList{"IN", "missing.txt", "IN"} << "missing.txt: " << 2;
    QTest::newRow("empty text") << QStringList{"empty.txt", "IN"} << "the text is empty" << 1;
    QTest::newRow("no files") << QStringList{} << "no FILE" << 0;
    QTest::newRow("unknown subtitle format")
        << QStringList{"--subtitles", "ass", "IN"} << "unknown subtitle format" << 0;
}

void TestConvertCommand::refusedInputs() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(int, written);
    const QString good = write(m_dir, "in.txt", "fine");
    write(m_dir, "empty.txt", "");
    arguments.replaceInStrings(QRegularExpression("^IN$"), good);
    arguments.replaceInStrings(QRegularExpression("^(\\w+\\.txt)$"), m_dir.filePath("\\1"));
    if (!arguments.contains("--output"))
        arguments.prepend("--output-dir=" + m_dir.path());
    const Run result = run(QStringList{"convert"} + arguments);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.startsWith("parlino: "), qPrintable(result.err));
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(result.out.size(), written);
}

void TestConvertCommand::serviceUnreachable() {
    const QString input = write(m_dir, "a.txt", "Hello");
    qputenv("PARLINO_ENDPOINT", "http://127.0.0.1:1");
    const Run refused = run({"convert", "--output-dir", m_dir.path(), input});
    qputenv("PARLINO_ENDPOINT", "http://tts.example.com");
    const Run plainHttp = run({"convert", "--output-dir", m_dir.path(), input});
    qputenv("PARLINO_API_KEY", "");
    const Run noKey = run({"convert", "--engine", "cloud", "--output-dir", m_dir.path(), input});
    qputenv("PARLINO_ENDPOINT", m_service.baseUrl().toEncoded());
    qputenv("PARLINO_API_KEY", key);

    QCOMPARE(refused.status, 1);
    QCOMPARE(refused.err, "parlino: " + input + ": Connection refused\n");
    QCOMPARE(plainHttp.status, 2);
    QVERIFY2(plainHttp.err.contains("plain http"), qPrintable(plainHttp.err));
    QCOMPARE(noKey.status, 2);
    QVERIFY2(noKey.err.contains("no API key"), qPrintable(noKey.err));
    QCOMPARE(QDir(m_dir.path()).entryList({"*.mp3"}, QDir::Files).size(), 0);
}

void TestConvertCommand::offlineEngine_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("apiKey");
    QTest::newRow("chosen with --engine") << QStringList{"--engine", "offline"} << key;
    QTest::newRow("the default without a key") << QStringList{} << QByteArray();
}

// The offline engine speaks without the service: an MP3 comes out, nothing is sent.
void TestConvertCommand::offlineEngine() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, apiKey);
    qputenv("PARLINO_API_KEY", apiKey);
    const QString input =
        write(m_dir, "a.json",
              R"({"text":"Hello\u23F8there","voice":"en-GB-Standard-A",)"
              R"("effects":[{"effect":"Break","location":5,"length":1,"value":"1"}]})");
    const QString target = m_dir.filePath("offline.mp3");
    const int sent = m_service.requests().size();
    const Run result =
        run(QStringList{"convert"} + options + QStringList{"--output", target, input});
    qputenv("PARLINO_API_KEY", key);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringList{target});
    QCOMPARE(m_service.requests().size(), sent);
    const Mp3Frames mp3 = Mp3Frames::read(contents(target));
    QVERIFY2(mp3.valid, qPrintable(mp3.problem));
    QVERIFY2(mp3.taggedSeconds() > 1.0, qPrintable(QString::number(mp3.taggedSeconds())));
}

void TestConvertCommand::subtitles_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected"); // the whole file, or its start for the offline voice
    // The test service puts the marks a second apart from 0.5 s; its 125
    // frames of MP3 last 3 s.
    QTest::newRow("cloud, WebVTT") << "cloud"
                                   << "vtt"
                                   << "WEBVTT\n\n00:00:00.500 --> 00:00:02.500\nOne two.\n\n"
                                      "00:00:02.500 --> 00:00:03.000\nThree.\n\n";
    QTest::newRow("offline, SubRip") << "offline"
                                     << "srt"
                                     << "1\n00:00:00,000 --> 00:00:00,";
}

// NAME.srt or NAME.vtt beside NAME.mp3; only the MP3's path is printed.
void TestConvertCommand::subtitles() {
    QFETCH(QString, engine);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    m_service.setResponder(
        FakeSynthesisService::speakingResponder(FakeSynthesisService::numberedMp3(0, 125)));
    const QString input =
        write(m_dir, "a.json", R"({"text":"One two. Three.","voice":"en-GB-Standard-A"})");
    const QString target = m_dir.filePath("speech.mp3");
    const Run result =
        run({"convert", "--engine", engine, "--subtitles", format, "--output", target, input});
    m_service.setResponder(&echo);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringList{target});
    const QString written = QString::fromUtf8(contents(m_dir.filePath("speech." + format)));
    QVERIFY2(written.startsWith(expected), qPrintable(written));
    QVERIFY(written.contains("One two.") && written.contains("Three."));
}

// A text of many requests: each within the service's limit, answered out of
// order by a slow service, joined in the text's order into one file.
void TestConvertCommand::longTextInParts() {
    QString text;
    while (text.size() < 30000)
        text += QString::fromUtf8("Ein langer Satz über das Meer. Длинное предложение о море.\n");
    const QString input = write(m_dir, "long.txt", text.toUtf8());
    const QString target = m_dir.filePath("long.mp3");
    m_service.setResponder(FakeSynthesisService::numberedResponder());
    m_service.setInputByteLimit(FakeSynthesisService::serviceInputLimit);
    const int before = m_service.requests().size();
    const Run result =
        run({"convert", "--engine", "cloud", "--jobs", "3", "--output", target, input});
    m_service.setResponder(&echo);
    m_service.setInputByteLimit(0);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QList<FakeSynthesisService::Request> sent = m_service.requests().mid(before);
    QVERIFY(sent.size() > text.toUtf8().size() / FakeSynthesisService::serviceInputLimit);
    QList<int> indices;
    for (const FakeSynthesisService::Request &request : sent) {
        QVERIFY(request.inputBytes() <= FakeSynthesisService::serviceInputLimit);
        indices << request.index;
    }
    QCOMPARE(FakeSynthesisService::numbersIn(contents(target)), indices);
    QVERIFY(m_service.maxConcurrent() <= 3);
}

// Ctrl+C stops a conversion in parts cleanly: status 130 and no file.
void TestConvertCommand::interruptedWritesNothing() {
    const QString input = write(m_dir, "a.txt", QByteArray("Waves roll in. ").repeated(800));
    m_service.setResponder(FakeSynthesisService::numberedResponder());
    m_service.setDelay(1500);
    QTimer::singleShot(300, [] { ::raise(SIGINT); });
    const Run result = run({"convert", "--engine", "cloud", "--output-dir", m_dir.path(), input});
    m_service.setDelay(0);
    m_service.setResponder(&echo);
    QCOMPARE(result.status, 130);
    QVERIFY2(result.err.contains("interrupted"), qPrintable(result.err));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.txt"});
}

QTEST_GUILESS_MAIN(TestConvertCommand)
#include "tst_convertcommand.moc"
