#include "synthesis/offline/LoudnessMeter.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace parlino;

class TestLoudnessMeter : public QObject {
    Q_OBJECT
private slots:
    void sine_data();
    void sine();
};

void TestLoudnessMeter::sine_data() {
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("amplitudeDb");
    QTest::addColumn<double>("lufs");
    // BS.1770: a 1 kHz sine at full scale reads -3.01 LUFS; the K-weighting
    // lifts high frequencies by about 4 dB and cuts very low ones.
    QTest::newRow("1 kHz at -20 dBFS, 48 kHz") << 48000 << 1000.0 << -20.0 << -23.01;
    QTest::newRow("1 kHz at -20 dBFS, 22.05 kHz") << 22050 << 1000.0 << -20.0 << -23.01;
    QTest::newRow("4 kHz is weighted up") << 22050 << 4000.0 << -20.0 << -19.66;
    QTest::newRow("20 Hz is weighted down") << 22050 << 20.0 << -20.0 << -36.93;
    QTest::newRow("below the absolute gate") << 22050 << 1000.0 << -80.0 << -70.0;
}

void TestLoudnessMeter::sine() {
    QFETCH(int, sampleRate);
    QFETCH(double, hz);
    QFETCH(double, amplitudeDb);
    QFETCH(double, lufs);
    const double amplitude = 32767.0 * std::pow(10.0, amplitudeDb / 20.0);
    std::vector<qint16> samples(std::size_t(sampleRate) * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] =
            qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * double(i) / sampleRate)));
    LoudnessMeter meter(sampleRate);
    // In uneven buffers, as eSpeak delivers them.
    for (std::size_t at = 0; at < samples.size(); at += 1234)
        meter.add(samples.data() + at, int(std::min<std::size_t>(1234, samples.size() - at)));
    QVERIFY2(qAbs(meter.integratedLoudness() - lufs) < 0.2,
             qPrintable(QString::number(meter.integratedLoudness())));
}

QTEST_GUILESS_MAIN(TestLoudnessMeter)
#include "tst_loudnessmeter.moc"
