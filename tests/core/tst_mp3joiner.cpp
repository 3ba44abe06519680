#include "Mp3Frames.h"
#include "output/Mp3Joiner.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

using namespace parlino;

namespace {

// How the cloud service's audio is made: 24 kHz mono, 32 kbit/s constant.
const QStringList cloud{"--cbr", "-b", "32", "--resample", "24"};

// A tone as 16-bit mono WAV.
QByteArray wav(int rate, double seconds, double hertz) {
    const int samples = int(rate * seconds);
    QByteArray out(44 + 2 * samples, '\0');
    char *d = out.data();
    memcpy(d, "RIFF\0\0\0\0WAVEfmt ", 16);
    qToLittleEndian<quint32>(out.size() - 8, d + 4);
    const quint32 format[] = {16, 1 | 1 << 16, quint32(rate), quint32(rate) * 2, 2 | 16 << 16};
    for (int i = 0; i < 5; ++i)
        qToLittleEndian<quint32>(format[i], d + 16 + 4 * i);
    memcpy(d + 36, "data", 4);
    qToLittleEndian<quint32>(2 * samples, d + 40);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * hertz * i / rate)),
                                d + 44 + 2 * i);
    return out;
}

// Runs a tool, returning its exit code; the error output into *errors.
int run(const QString &tool, const QStringList &arguments, QByteArray *errors = nullptr) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(tool), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitCode();
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An ID3v2.4 tag with its footer before the stream and an APE tag after it,
// before its ID3v1 tag.
QByteArray withMoreTags(const QByteArray &mp3) {
    const QByteArray frame = QByteArray("TIT2\0\0\0\x05\0\0\3Part", 15);
    const QByteArray id3 = QByteArray("ID3\4\0\x10\0\0\0", 9) + char(frame.size());
    QByteArray ape(32, '\0');
    memcpy(ape.data(), "APETAGEX", 8);
    qToLittleEndian<quint32>(2000, ape.data() + 8);
    qToLittleEndian<quint32>(32, ape.data() + 12);
    return id3 + frame + QByteArray("3DI\4\0\x10\0\0\0", 9) + char(frame.size()) +
           mp3.chopped(128) + ape + mp3.right(128);
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

private:
    QByteArray encode(const QStringList &options, int rate, double seconds, double hertz);
    QTemporaryDir m_dir;
};

void TestMp3Joiner::initTestCase() {
    if (QStandardPaths::findExecutable("lame").isEmpty())
        QSKIP("lame is not installed (scripts/install-deps)");
}

QByteArray TestMp3Joiner::encode(const QStringList &options, int rate, double seconds,
                                 double hertz) {
    const QString in = m_dir.filePath("in.wav"), out = m_dir.filePath("out.mp3");
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav(rate, seconds, hertz)) < 0)
        return {};
    file.close();
    QFile::remove(out);
    return run("lame", QStringList{"--quiet", "-m", "m"} << options << in << out) == 0
               ? readAll(out)
               : QByteArray();
}

// The cloud service's kind of stream (24 kHz, 32 kbit/s constant), tagged,
// and the offline engine's (22,050 Hz, variable, with a LAME tag).
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
    const QString path = m_dir.filePath("joined.mp3");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    Mp3Joiner joiner(&out);
    int frames = 0;
    double seconds = 0;
    for (const double length : {0.5, 1.3, 0.8}) {
        const double hertz = 200 + 300 * length;
        const Mp3Frames info = Mp3Frames::read(encode(options, rate, length, hertz));
        const QStringList id3{"--tt", "Part", "--add-id3v2"};
        QByteArray part = encode(tags ? options + id3 : options, rate, length, hertz);
        part = tags == 2 ? withMoreTags(part) : part;
        QString error;
        QVERIFY2(joiner.append(part, &error), qPrintable(error));
        QCOMPARE(joiner.lastSeconds(), info.frameSeconds());
        frames += info.frames;
        seconds += info.frameSeconds();
    }
    QVERIFY(joiner.finish(nullptr));
    out.close();
    const QByteArray joined = readAll(path);
    const Mp3Frames info = Mp3Frames::read(joined);
    QVERIFY2(info.valid, qPrintable(info.problem));
    QVERIFY(info.hasXing && !info.hasLameTag);
    QCOMPARE(info.sampleRate, rate);
    QCOMPARE(info.vbr, vbr);
    QCOMPARE(info.frames, frames);
    QCOMPARE(info.xingFrames, frames);
    QCOMPARE(info.xingBytes, qint64(joined.size()));
    QCOMPARE(joiner.seconds(), seconds);
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
        return;
    QByteArray errors;
    QCOMPARE(run("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"}, &errors), 0);
    QVERIFY2(errors.isEmpty(), errors.constData());
    QProcess probe;
    probe.start(QStandardPaths::findExecutable("ffprobe"),
                {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path});
    QVERIFY(probe.waitForFinished(30000));
    const double probed = probe.readAllStandardOutput().trimmed().toDouble();
    QVERIFY2(std::abs(probed - seconds) <= 576.0 / rate, qPrintable(QString::number(probed)));
}

void TestMp3Joiner::refuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("looksLikeMp3");
    QTest::addColumn<bool>("afterAnother");
    QTest::newRow("nothing") << QByteArray() << false << false;
    QTest::newRow("a web page") << QByteArray("<html>busy</html>") << false << false;
    QTest::newRow("a tag and no frame") << QByteArray("ID3\3\0\0\0\0\0\0", 10) << true << false;
    QTest::newRow("a frame cut short") << encode(cloud, 24000, 0.3, 440).left(50) << true << false;
    QTest::newRow("another sample rate") << encode({"-V", "7"}, 22050, 0.3, 440) << true << true;
}

void TestMp3Joiner::refuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, looksLikeMp3);
    QFETCH(bool, afterAnother);
    QCOMPARE(Mp3Joiner::looksLikeMp3(bytes), looksLikeMp3);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    Mp3Joiner joiner(&out);
    if (afterAnother)
        QVERIFY(joiner.append(encode(cloud, 24000, 0.3, 440), nullptr));
    const qint64 written = out.size();
    QString error;
    QVERIFY(!joiner.append(bytes, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(out.size(), written);
}

QTEST_GUILESS_MAIN(TestMp3Joiner)
#include "tst_mp3joiner.moc"
