#pragma once

#include <QtGlobal>

#include <vector>

namespace parlino {

// Integrated loudness of mono 16-bit PCM as ITU-R BS.1770 defines it (the
// measure of EBU R 128): K-weighting, 400 ms blocks overlapping by 75 %,
// an absolute gate at -70 LUFS and a relative gate 10 LU below the mean.
// Works at any sample rate; feed the samples in buffers of any size.
class LoudnessMeter {
public:
    explicit LoudnessMeter(int sampleRate);

    void add(const qint16 *samples, int count);
    // In LUFS; -70 or below for silence.
    double integratedLoudness() const;

    static constexpr double silence = -70.0;

private:
    struct Biquad {
        double b0, b1, b2, a1, a2;
        double z1 = 0, z2 = 0;
        double run(double x);
    };

    Biquad m_shelf;
    Biquad m_highPass;
    int m_step;                  // samples per 100 ms
    double m_stepSum = 0;        // sum of squares in the current 100 ms
    int m_stepCount = 0;         // samples in it
    std::vector<double> m_steps; // mean square of each 100 ms step
};

} // namespace parlino
