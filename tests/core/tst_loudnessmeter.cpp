#include "GoldenData.h"
#include "synthesis/offline/LoudnessMeter.h"
#include "synthesis/offline/PeakLimiter.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace parlino;

namespace {

// The rows of one table under tests/data/offline, named by their first cell.
void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/offline/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

double sine(double amplitude, double hz, std::size_t i, int rate) {
    return amplitude * std::sin(2 * M_PI * hz * double(i) / rate);
}

} // namespace

// The loudness stage of the offline engine: measuring, then limiting peaks.
class TestLoudnessMeter : public QObject {
    Q_OBJECT
private slots:
    void sine_data() { rowsOf("loudness.tsv"); }
    void sine();
    void limits_data() { rowsOf("limiter.tsv"); }
    void limits();
};

void TestLoudnessMeter::sine() {
    QFETCH(QStringList, row);
    const int sampleRate = row.at(1).toInt();
    const double amplitude = 32767.0 * std::pow(10.0, row.at(3).toDouble() / 20.0);
    std::vector<qint16> samples(std::size_t(sampleRate) * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = qint16(std::lround(::sine(amplitude, row.at(2).toDouble(), i, sampleRate)));
    LoudnessMeter meter(sampleRate);
    // In uneven buffers, as eSpeak delivers them.
    for (std::size_t at = 0; at < samples.size(); at += 1234)
        meter.add(samples.data() + at, int(std::min<std::size_t>(1234, samples.size() - at)));
    QVERIFY2(qAbs(meter.integratedLoudness() - row.at(4).toDouble()) < 0.2,
             qPrintable(QString::number(meter.integratedLoudness())));
}

// A 440 Hz tone at -30 dBFS with a loud burst: no sample above the ceiling,
// sample for sample aligned, and the tone far from the burst only amplified.
void TestLoudnessMeter::limits() {
    QFETCH(QStringList, row);
    const double gainDb = row.at(1).toDouble();
    const int burst = row.at(2).toInt();
    const int rate = 22050;
    std::vector<qint16> in(std::size_t(rate) * 2);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const bool loud = i >= std::size_t(rate) && i < std::size_t(rate + rate / 10);
        in[i] = qint16(std::lround(::sine(loud ? burst : 1036, 440, i, rate)));
    }
    std::vector<qint16> out;
    PeakLimiter limiter([&out](const qint16 *s, int n) { out.insert(out.end(), s, s + n); }, rate,
                        gainDb);
    for (std::size_t at = 0; at < in.size(); at += 1000)
        limiter.write(in.data() + at, int(std::min<std::size_t>(1000, in.size() - at)));
    limiter.finish();
    QCOMPARE(out.size(), in.size());
    const double gain = std::pow(10.0, gainDb / 20.0);
    int peak = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        peak = std::max(peak, std::abs(int(out[i])));
        // Away from the burst (the look-ahead before it, the release after).
        if (i < std::size_t(rate) - 200 || i > std::size_t(rate + rate / 10 + rate / 2))
            QVERIFY2(std::abs(out[i] - in[i] * gain) <= 1.0, qPrintable(QString::number(i)));
    }
    QVERIFY2(peak <= int(PeakLimiter::ceiling), qPrintable(QString::number(peak)));
    if (burst * gain > PeakLimiter::ceiling)
        QVERIFY(peak > PeakLimiter::ceiling - 1500); // limited, not cut down further
}

QTEST_GUILESS_MAIN(TestLoudnessMeter)
#include "tst_loudnessmeter.moc"
