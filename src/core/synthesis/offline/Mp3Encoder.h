#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct lame_global_struct;

namespace parlino {

// Encodes 16-bit mono PCM into MP3 at the same sample rate with libmp3lame, on a thread
// of its own so that encoding overlaps with synthesis: write() hands samples
// over (waiting only when about a second of audio is still queued), and
// finish() returns the whole file with a Xing/LAME tag in its first frame, so
// that players know the exact length. Not for use from several producers.
class Mp3Encoder {
public:
    // LAME's VBR quality (0 best .. 9 smallest): 7 gives about 40 kbit/s for speech.
    static constexpr int defaultVbrQuality = 7;

    explicit Mp3Encoder(int sampleRate, int vbrQuality = defaultVbrQuality);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder &) = delete;
    Mp3Encoder &operator=(const Mp3Encoder &) = delete;

    // Sets LAME up and starts the encoding thread.
    bool start(QString *error);
    void write(const short *samples, int count);
    // Waits for the queued audio, flushes LAME and writes the tag. Empty on failure.
    QByteArray finish(QString *error);

private:
    void run();
    bool encode(const std::vector<short> &samples);

    lame_global_struct *m_lame = nullptr;
    int m_sampleRate;
    int m_vbrQuality;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<short>> m_queue;
    std::size_t m_queuedSamples = 0;
    bool m_closed = false;
    bool m_failed = false; // set by the encoding thread
    QByteArray m_mp3;      // written by the encoding thread until it ends
    std::vector<unsigned char> m_buffer;
};

} // namespace parlino
