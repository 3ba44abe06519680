#include "CliRun.h"
#include "OfflineAudio.h"
#include "PrivatePulse.h"

#include <QTemporaryDir>
#include <QTest>

using namespace parlino;

namespace {

const QString sentence = QStringLiteral("Parlino reads this sentence aloud, word by word.");

// Seconds of speech in the offline voice's own PCM for the sentence, from the
// first to the last sample above the recording's threshold.
double expectedSeconds() {
    OfflineSpeechEngine engine;
    const auto result = OfflineAudio::pcmOf(engine, OfflineAudio::english(sentence, false));
    const QVector<qint16> &s = result.pcm.samples;
    const auto loud = [](qint16 v) { return std::abs(int(v)) > 300; };
    const auto first = std::find_if(s.cbegin(), s.cend(), loud);
    const auto last = std::find_if(s.crbegin(), s.crend(), loud);
    return double((s.crend() - last) - (first - s.cbegin())) / result.pcm.sampleRate;
}

} // namespace

class TestSayCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void speaksAndPrintsEachWord();
    void refuses_data();
    void refuses();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PrivatePulse> m_pulse;
    QString m_file;
};

void TestSayCommand::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_file = writeTestFile(m_dir.filePath("say.txt"), sentence.toUtf8());
    if (!PrivatePulse::installed())
        QSKIP("pulseaudio and parec are not installed");
    m_pulse = std::make_unique<PrivatePulse>();
    QVERIFY(m_pulse->start());
}

// What reached the sink is the sentence: as long as the voice's own audio, not
// silence; with --words each word is printed in order with its time.
void TestSayCommand::speaksAndPrintsEachWord() {
    m_pulse->reset();
    const CliRun run = CliRun::run(
        {"say", "--engine", "offline", "--voice", "en-US-Standard-B", "--words", m_file});
    QCOMPARE(run.status, int(ExitOk));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const double expected = expectedSeconds();
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse->soundSeconds() >= expected - 0.1, 5000);
    QVERIFY2(qAbs(m_pulse->soundSeconds() - expected) < 0.15,
             qPrintable(QStringLiteral("recorded %1 s, expected %2 s")
                            .arg(m_pulse->soundSeconds())
                            .arg(expected)));
    QStringList words;
    double previous = -1;
    for (const QString &line : run.outLines()) {
        const QString time = line.section(u'\t', 0, 0);
        QVERIFY2(time.contains(u'.') && time.toDouble() >= previous, qPrintable(line));
        previous = time.toDouble();
        words << line.section(u'\t', 1);
    }
    QCOMPARE(words, QString(sentence).remove(u',').remove(u'.').split(u' '));
    QVERIFY(previous > 1.5);
}

void TestSayCommand::refuses_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty text") << QStringList{"say", "--engine", "offline", "-"} << QByteArray()
                                << "empty";
    QTest::newRow("unknown engine")
        << QStringList{"say", "--engine", "loud", "-"} << QByteArray("hi") << "unknown engine";
}

void TestSayCommand::refuses() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    const CliRun run = CliRun::run(arguments, input);
    QCOMPARE(run.status, int(ExitUsage));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestSayCommand)
#include "tst_saycommand.moc"
