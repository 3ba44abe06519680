#pragma once

#include <QtGlobal>

#include <deque>
#include <functional>
#include <vector>

namespace parlino {

// Applies a gain to a stream of 16-bit PCM and keeps every sample below a
// ceiling, so that nothing clips: where a sample would exceed it, the gain
// eases down over a few milliseconds before it (the limiter looks ahead) and
// recovers slowly after. The output is sample for sample aligned with the
// input; the look-ahead is held back and passed on by finish().
class PeakLimiter {
public:
    using Sink = std::function<void(const qint16 *samples, int count)>;

    // About -1 dBFS: room for an MP3 encoder's overshoot.
    static constexpr double ceiling = 29000.0;
    static constexpr int lookAheadMs = 5;
    static constexpr int releaseMs = 80;

    PeakLimiter(Sink sink, int sampleRate, double gainDb);

    void write(const qint16 *samples, int count);
    void finish();

    // The gain applied to samples below the ceiling.
    double gain() const { return m_gain; }

private:
    void emitFront(std::vector<qint16> &out);

    Sink m_sink;
    double m_gain;
    int m_lookAhead;      // samples
    double m_releaseStep; // gain recovered per sample
    std::deque<double> m_held;
    int m_over = 0;         // held samples above the ceiling
    double m_current = 1.0; // reduction applied to the last sample passed on
};

} // namespace parlino
