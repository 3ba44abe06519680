#include "synthesis/offline/PeakLimiter.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace parlino;

class TestPeakLimiter : public QObject {
    Q_OBJECT
private slots:
    void limits_data();
    void limits();
};

void TestPeakLimiter::limits_data() {
    QTest::addColumn<double>("gainDb");
    QTest::addColumn<int>("burst"); // amplitude of a 100 ms burst in the middle
    QTest::newRow("quiet, no gain: untouched") << 0.0 << 8000;
    QTest::newRow("gain below the ceiling") << 6.0 << 12000;
    QTest::newRow("gain over the ceiling") << 6.0 << 30000;
    QTest::newRow("full-scale burst, large gain") << 18.0 << 32767;
}

// A 440 Hz tone at -30 dBFS with a loud burst: no sample above the ceiling,
// sample for sample aligned, and the tone far from the burst only amplified.
void TestPeakLimiter::limits() {
    QFETCH(double, gainDb);
    QFETCH(int, burst);
    const int rate = 22050;
    std::vector<qint16> in(std::size_t(rate) * 2);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const bool loud = i >= std::size_t(rate) && i < std::size_t(rate + rate / 10);
        in[i] = qint16(std::lround((loud ? burst : 1036) * std::sin(2 * M_PI * 440 * i / rate)));
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

QTEST_GUILESS_MAIN(TestPeakLimiter)
#include "tst_peaklimiter.moc"
