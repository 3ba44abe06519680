#include "synthesis/offline/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace parlino {

PeakLimiter::PeakLimiter(Sink sink, int sampleRate, double gainDb)
    : m_sink(std::move(sink))
    , m_gain(std::pow(10.0, gainDb / 20.0))
    , m_lookAhead(qMax(1, sampleRate * lookAheadMs / 1000))
    , m_releaseStep(1.0 / qMax(1, sampleRate * releaseMs / 1000)) {}

void PeakLimiter::write(const qint16 *samples, int count) {
    std::vector<qint16> out;
    out.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const double value = samples[i] * m_gain;
        m_held.push_back(value);
        if (std::abs(value) > ceiling)
            ++m_over;
        if (int(m_held.size()) > m_lookAhead)
            emitFront(out);
    }
    if (!out.empty())
        m_sink(out.data(), int(out.size()));
}

void PeakLimiter::finish() {
    std::vector<qint16> out;
    while (!m_held.empty())
        emitFront(out);
    if (!out.empty())
        m_sink(out.data(), int(out.size()));
}

// Passes on the oldest held sample. Each loud sample ahead asks for a
// reduction that must be reached at its own place and is approached
// linearly from here, so the gain never jumps.
void PeakLimiter::emitFront(std::vector<qint16> &out) {
    double target = 1.0;
    if (m_over > 0) {
        const std::size_t n = m_held.size();
        for (std::size_t j = 0; j < n; ++j) {
            const double level = std::abs(m_held[j]);
            if (level <= ceiling)
                continue;
            const double need = ceiling / level;
            const double ramp = need + (1.0 - need) * double(j) / double(m_lookAhead);
            target = std::min(target, ramp);
        }
    }
    m_current = std::min(target, m_current + m_releaseStep);
    const double value = m_held.front();
    m_held.pop_front();
    if (std::abs(value) > ceiling)
        --m_over;
    const double limited = std::clamp(std::round(value * m_current), -32768.0, 32767.0);
    out.push_back(qint16(limited));
}

} // namespace parlino
