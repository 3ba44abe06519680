#include "Mp3Frames.h"
#include "output/Mp3Joiner.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

namespace {

// How the cloud service's audio is made: 24 kHz mono, 32 kbit/s constant.
const QStringList cloud{"--cbr", "-b", "32", "--resample", "24"};

// Runs a tool; its output, or its error output when it fails or says anything there.
QByteArray run(const QString &tool, const QStringList &arguments) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(tool), arguments);
    process.waitForFinished(60000);
    const QByteArray errors = process.readAllStandardError();
    return process.exitCode() || !errors.isEmpty() ? "failed: " + errors
                                                   : process.readAllStandardOutput();
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A tone of the rate and length as MP3 made by lame with the options.
QByteArray encode(const QStringList &options, int rate, double seconds) {
    QTemporaryDir dir;
    const QString wav = dir.filePath("in.wav"), mp3 = dir.filePath("out.mp3");
    run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                   QString("sine=frequency=%1:duration=%2:sample_rate=%3")
                       .arg(200 + 300 * seconds)
                       .arg(seconds)
                       .arg(rate),
                   wav});
    run("lame", QStringList{"--quiet", "-m", "m"} << options << wav << mp3);
    return readAll(mp3);
}

// An ID3v2.4 tag with its footer before the stream and an APE tag before its
// ID3v1 tag, both holding a copy of its last two frames, which must not count.
QByteArray withMoreTags(const QByteArray &mp3) {
    const QByteArray frames = mp3.chopped(128).right(192);
    const QByteArray header("ID3\4\0\x10\0\0\x01\x40", 10), footer("3DI\4\0\x10\0\0\x01\x40", 10);
    const QByteArray ape = QByteArray("APETAGEX\xD0\x07\0\0\xE0", 13) + QByteArray(19, '\0');
    return header + frames + footer + mp3.chopped(128) + frames + ape + mp3.right(128);
}

} // namespace

class TestMp3Joiner : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void joins_data();
    void joins();
    void refuses_data();
    void refuses();
};

void TestMp3Joiner::initTestCase() {
    if (QStandardPaths::findExecutable("lame").isEmpty() ||
        QStandardPaths::findExecutable("ffmpeg").isEmpty())
        QSKIP("lame or ffmpeg is not installed (scripts/install-deps)");
}

// The cloud service's kind of stream, tagged, and the offline engine's
// (22,050 Hz, variable, with a LAME tag).
void TestMp3Joiner::joins_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("tags"); // 1: ID3v2 and ID3v1, 2: also an ID3v2 footer and APE
    QTest::addColumn<bool>("vbr");
    QTest::newRow("constant 24 kHz with ID3v2 and ID3v1") << cloud << 24000 << 1 << false;
    QTest::newRow("and ID3v2 footer and APE") << cloud << 24000 << 2 << false;
    QTest::newRow("variable 22,050 Hz with LAME tags")
        << QStringList{"-V", "7"} << 22050 << 0 << true;
}

void TestMp3Joiner::joins() {
    QFETCH(QStringList, options);
    QFETCH(int, rate);
    QFETCH(int, tags);
    QFETCH(bool, vbr);
    QTemporaryDir dir;
    const QString path = dir.filePath("joined.mp3");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    Mp3Joiner joiner(&out);
    int frames = 0;
    double seconds = 0;
    for (const double length : {0.5, 1.3, 0.8}) {
        const Mp3Frames part = Mp3Frames::read(encode(options, rate, length));
        const QStringList id3{"--tt", "Part", "--add-id3v2"};
        const QByteArray tagged = encode(tags ? options + id3 : options, rate, length);
        QString error;
        QVERIFY2(joiner.append(tags == 2 ? withMoreTags(tagged) : tagged, &error),
                 qPrintable(error));
        QCOMPARE(joiner.lastSeconds(), part.frameSeconds());
        frames += part.frames;
        seconds += part.frameSeconds();
    }
    QVERIFY(joiner.finish(nullptr));
    out.close();
    const QByteArray joined = readAll(path);
    const Mp3Frames info = Mp3Frames::read(joined);
    QVERIFY2(info.valid, qPrintable(info.problem));
    QVERIFY(info.hasXing && !info.hasLameTag && info.sampleRate == rate && info.vbr == vbr);
    QVERIFY(info.frames == frames && info.xingFrames == frames);
    QCOMPARE(info.xingBytes, qint64(joined.size()));
    QCOMPARE(joiner.seconds(), seconds);
    QCOMPARE(run("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"}), QByteArray());
    const double probed =
        run("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path})
            .toDouble();
    QVERIFY2(std::abs(probed - seconds) <= 576.0 / rate, qPrintable(QString::number(probed)));
}

void TestMp3Joiner::refuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("looksLikeMp3");
    QTest::addColumn<bool>("afterAnother");
    QTest::newRow("nothing") << QByteArray() << false << false;
    QTest::newRow("a web page") << QByteArray("<html>busy</html>") << false << false;
    QTest::newRow("a tag and no frame") << QByteArray("ID3\3\0\0\0\0\0\0", 10) << true << false;
    QTest::newRow("a frame cut short") << encode(cloud, 24000, 0.3).left(50) << true << false;
    QTest::newRow("another sample rate") << encode({"-V", "7"}, 22050, 0.3) << true << true;
}

void TestMp3Joiner::refuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, looksLikeMp3);
    QFETCH(bool, afterAnother);
    QCOMPARE(Mp3Joiner::looksLikeMp3(bytes), looksLikeMp3);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    Mp3Joiner joiner(&out);
    QVERIFY(!afterAnother || joiner.append(encode(cloud, 24000, 0.3), nullptr));
    const qint64 written = out.size();
    QString error;
    QVERIFY(!joiner.append(bytes, &error) && !error.isEmpty());
    QCOMPARE(out.size(), written);
}

QTEST_GUILESS_MAIN(TestMp3Joiner)
#include "tst_mp3joiner.moc"
