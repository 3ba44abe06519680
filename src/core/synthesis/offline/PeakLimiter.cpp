#include "synthesis/offline/PeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace parlino {

PeakLimiter::PeakLimiter(Sink sink, int sampleRate, double gainDb)
    : m_sink(std::move(sink))
    , m_gain(std::pow(10.0, gainDb / 20.0))
    , m_lookAhead(qMax(1, sampleRate * lookAheadMs / 1000))
    , m_releaseStep(1.0 / qMax(1, sampleRate * releaseMs / 1000))
    , m_held(std::size_t(m_lookAhead) + 1) {}

void PeakLimiter::setGain(double gainDb) {
    m_gain = std::pow(10.0, gainDb / 20.0);
}

void PeakLimiter::write(const qint16 *samples, int count) {
    if (count <= 0)
        return;
    m_out.resize(std::size_t(count));
    std::size_t passed = 0;
    if (m_loud.empty() && m_current >= 1.0 && quiet(samples, count)) {
        // Nothing reaches the ceiling: pass on all but the last m_lookAhead.
        const std::size_t total = m_count + std::size_t(count);
        const std::size_t pass = total > std::size_t(m_lookAhead) ? total - m_lookAhead : 0;
        while (passed < pass && m_count > 0)
            m_out[passed++] = release();
        const int direct = int(pass - passed);
        for (int i = 0; i < direct; ++i)
            m_out[passed++] = qint16(qRound(samples[i] * m_gain));
        m_front += direct;
        for (int i = direct; i < count; ++i)
            m_held[slot(m_count++)] = samples[i] * m_gain;
    } else {
        for (int i = 0; i < count; ++i) {
            const double value = samples[i] * m_gain;
            if (std::abs(value) > ceiling)
                m_loud.push_back({m_front + qint64(m_count), std::abs(value)});
            m_held[slot(m_count)] = value;
            if (++m_count > std::size_t(m_lookAhead))
                m_out[passed++] = release();
        }
    }
    if (passed > 0)
        m_sink(m_out.data(), int(passed));
}

// True when no sample of the buffer goes above the ceiling once amplified.
bool PeakLimiter::quiet(const qint16 *samples, int count) const {
    const int highest = int(ceiling / m_gain);
    int peak = 0;
    for (int i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
    return peak <= highest;
}

void PeakLimiter::finish() {
    m_out.resize(m_count);
    std::size_t passed = 0;
    while (m_count > 0)
        m_out[passed++] = release();
    if (passed > 0)
        m_sink(m_out.data(), int(passed));
}

// Passes on the oldest held sample: as it is, while nothing loud is near.
qint16 PeakLimiter::release() {
    if (!m_loud.empty() || m_current < 1.0)
        return releaseReduced();
    const double value = m_held[m_first];
    m_first = slot(1);
    --m_count;
    ++m_front;
    return qint16(qRound(value)); // within the ceiling
}

// Each loud sample ahead asks for a reduction that must be reached at its own
// place and is approached linearly from the front, so the gain never jumps;
// after it, the gain recovers by m_releaseStep a sample.
qint16 PeakLimiter::releaseReduced() {
    double target = 1.0;
    for (const Loud &loud : m_loud) {
        const double need = ceiling / loud.level;
        const double ahead = double(loud.at - m_front);
        target = std::min(target, need + (1.0 - need) * ahead / double(m_lookAhead));
    }
    m_current = std::min(target, m_current + m_releaseStep);
    const double value = m_held[m_first];
    m_first = slot(1);
    --m_count;
    if (!m_loud.empty() && m_loud.front().at == m_front)
        m_loud.pop_front();
    ++m_front;
    // Below the ceiling after the reduction; the clamp guards the rounding.
    return qint16(std::clamp(qRound(value * m_current), -32768, 32767));
}

} // namespace parlino
