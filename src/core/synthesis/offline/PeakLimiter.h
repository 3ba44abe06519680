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

    // The gain applied to samples below the ceiling, from the next write on.
    double gain() const { return m_gain; }
    void setGain(double gainDb);

private:
    bool quiet(const qint16 *samples, int count) const;
    qint16 release();
    qint16 releaseReduced();
    // The place in m_held of the i-th held sample.
    std::size_t slot(std::size_t i) const {
        const std::size_t at = m_first + i;
        return at < m_held.size() ? at : at - m_held.size();
    }

    Sink m_sink;
    double m_gain;
    int m_lookAhead;      // samples
    double m_releaseStep; // gain recovered per sample
    // The held samples, amplified: a ring of m_lookAhead + 1 from m_first.
    std::vector<double> m_held;
    std::size_t m_first = 0;
    std::size_t m_count = 0;
    // The held samples above the ceiling, oldest first: where, and how loud.
    struct Loud {
        qint64 at;
        double level;
    };
    std::deque<Loud> m_loud;
    qint64 m_front = 0;        // the count of samples passed on so far
    double m_current = 1.0;    // reduction applied to the last sample passed on
    std::vector<qint16> m_out; // what one call passes on
};

} // namespace parlino
