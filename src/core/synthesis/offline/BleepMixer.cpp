#include "synthesis/offline/BleepMixer.h"

#include <algorithm>
#include <cmath>

namespace parlino {

BleepMixer::BleepMixer(Sink sink, int sampleRate)
    : m_sink(std::move(sink))
    , m_sampleRate(sampleRate)
    , m_fade(qMax(1, sampleRate / 200)) {}

void BleepMixer::startTone(qint64 sample) {
    if (!m_stretches.empty() && m_stretches.back().end < 0)
        return; // already sounding
    // A change can only reach back as far as the held-back samples.
    const qint64 earliest = m_received - qint64(m_pending.size());
    m_stretches.push_back({qMax(sample, earliest), -1});
}

void BleepMixer::stopTone(qint64 sample) {
    if (m_stretches.empty() || m_stretches.back().end >= 0)
        return;
    Stretch &open = m_stretches.back();
    open.end = qMax(sample, open.start);
}

void BleepMixer::paint(std::vector<qint16> &buffer, qint64 bufferStart) const {
    const qint64 bufferEnd = bufferStart + qint64(buffer.size());
    const double step = 2.0 * M_PI * toneHz / m_sampleRate;
    for (const Stretch &s : m_stretches) {
        const qint64 end = s.end < 0 ? bufferEnd : s.end;
        const qint64 from = qMax(s.start, bufferStart);
        const qint64 to = qMin(end, bufferEnd);
        for (qint64 i = from; i < to; ++i) {
            double envelope = std::min(1.0, double(i - s.start) / m_fade);
            if (s.end >= 0)
                envelope = std::min(envelope, double(s.end - i) / m_fade);
            const double value = toneAmplitude * envelope * std::sin(step * double(i - s.start));
            buffer[std::size_t(i - bufferStart)] = qint16(std::lround(value));
        }
    }
}

void BleepMixer::write(const qint16 *samples, int count) {
    if (count <= 0)
        return;
    const qint64 start = m_received - qint64(m_pending.size());
    std::vector<qint16> buffer;
    buffer.reserve(m_pending.size() + std::size_t(count));
    buffer.insert(buffer.end(), m_pending.begin(), m_pending.end());
    buffer.insert(buffer.end(), samples, samples + count);
    m_received += count;
    paint(buffer, start);

    const std::size_t keep = std::min(buffer.size(), std::size_t(m_fade));
    const std::size_t pass = buffer.size() - keep;
    if (pass > 0)
        m_sink(buffer.data(), int(pass));
    m_pending.assign(buffer.end() - std::ptrdiff_t(keep), buffer.end());

    // Stretches that ended before the held-back samples are done with.
    const qint64 heldFrom = m_received - qint64(m_pending.size());
    m_stretches.erase(
        std::remove_if(m_stretches.begin(), m_stretches.end(),
                       [heldFrom](const Stretch &s) { return s.end >= 0 && s.end <= heldFrom; }),
        m_stretches.end());
}

void BleepMixer::finish() {
    if (!m_stretches.empty() && m_stretches.back().end < 0)
        m_stretches.back().end = m_received;
    const qint64 start = m_received - qint64(m_pending.size());
    paint(m_pending, start);
    if (!m_pending.empty())
        m_sink(m_pending.data(), int(m_pending.size()));
    m_pending.clear();
    m_stretches.clear();
}

} // namespace parlino
