#include "synthesis/offline/LoudnessMeter.h"

#include <cmath>

namespace parlino {

namespace {

// The two K-weighting stages, designed for the sample rate from the analogue
// prototypes behind the 48 kHz coefficients of BS.1770.
constexpr double shelfHz = 1681.974450955533;
constexpr double shelfGainDb = 3.999843853973347;
constexpr double shelfQ = 0.7071752369554196;
constexpr double highPassHz = 38.13547087602444;
constexpr double highPassQ = 0.5003270373238773;

double loudnessOf(double meanSquare) {
    return -0.691 + 10.0 * std::log10(meanSquare);
}

} // namespace

double LoudnessMeter::Biquad::run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

LoudnessMeter::LoudnessMeter(int sampleRate)
    : m_step(qMax(1, sampleRate / 10)) {
    const double pi = 3.14159265358979323846;
    double k = std::tan(pi * shelfHz / sampleRate);
    const double vh = std::pow(10.0, shelfGainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / shelfQ + k * k;
    m_shelf = Biquad{(vh + vb * k / shelfQ + k * k) / a0, 2.0 * (k * k - vh) / a0,
                     (vh - vb * k / shelfQ + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                     (1.0 - k / shelfQ + k * k) / a0};
    k = std::tan(pi * highPassHz / sampleRate);
    a0 = 1.0 + k / highPassQ + k * k;
    m_highPass =
        Biquad{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / highPassQ + k * k) / a0};
}

void LoudnessMeter::add(const qint16 *samples, int count) {
    for (int i = 0; i < count; ++i) {
        const double y = m_highPass.run(m_shelf.run(samples[i] / 32768.0));
        m_stepSum += y * y;
        if (++m_stepCount == m_step) {
            m_steps.push_back(m_stepSum / m_step);
            m_stepSum = 0;
            m_stepCount = 0;
        }
    }
}

double LoudnessMeter::integratedLoudness() const {
    // Blocks of four steps (400 ms), one step apart (75 % overlap).
    std::vector<double> blocks;
    for (std::size_t i = 0; i + 4 <= m_steps.size(); ++i)
        blocks.push_back((m_steps[i] + m_steps[i + 1] + m_steps[i + 2] + m_steps[i + 3]) / 4.0);
    const auto gatedMean = [&blocks](double gate) {
        double sum = 0;
        int count = 0;
        for (const double block : blocks) {
            if (block > 0 && loudnessOf(block) > gate) {
                sum += block;
                ++count;
            }
        }
        return count == 0 ? 0.0 : sum / count;
    };
    const double absolute = gatedMean(silence);
    if (absolute <= 0)
        return silence;
    const double relative = gatedMean(loudnessOf(absolute) - 10.0);
    return relative <= 0 ? silence : loudnessOf(relative);
}

} // namespace parlino
