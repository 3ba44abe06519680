#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

namespace parlino {

// Puts a tone over stretches of a PCM stream, given by sample offsets that
// arrive while the stream is being produced (eSpeak's mark events). The tone
// fades in and out over a few milliseconds, so the mixer holds back that
// many samples: a stretch may end in a later buffer than it begins.
class BleepMixer {
public:
    using Sink = std::function<void(const qint16 *samples, int count)>;

    static constexpr double toneHz = 1000.0;
    static constexpr int toneAmplitude = 9000; // about -11 dBFS peak, as loud as speech

    BleepMixer(Sink sink, int sampleRate);

    // Sample offsets count from the start of the stream.
    void startTone(qint64 sample);
    void stopTone(qint64 sample);
    // The next buffer of the stream; tone changes inside it are given first.
    void write(const qint16 *samples, int count);
    // Ends an open tone at the end of the stream and passes on what is held back.
    void finish();

private:
    struct Stretch {
        qint64 start;
        qint64 end; // -1 while open
    };

    void paint(std::vector<qint16> &buffer, qint64 bufferStart) const;

    Sink m_sink;
    int m_sampleRate;
    int m_fade; // samples of fade in and out; also the hold-back
    std::vector<Stretch> m_stretches;
    std::vector<qint16> m_pending; // held-back samples, starting at m_received - size
    qint64 m_received = 0;         // samples written so far
};

} // namespace parlino
