#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace parlino {

// Encodes 16-bit mono PCM into MP3 at the same sample rate with libmp3lame, on
// a thread of its own, so that encoding overlaps with synthesis: write() hands
// samples over (waiting only when maxQueuedSeconds of audio are still
// queued), and finish() returns at once; the encoding thread then encodes what
// is queued and hands the whole file, with a Xing/LAME tag in its first frame
// so that players know the exact length, to the completion. The encoding of
// one request can thus go on while the next one is synthesised. Not for use
// from several producers.
class Mp3Encoder {
public:
    // LAME's VBR quality (0 best .. 9 smallest): 7 gives about 40 kbit/s for speech.
    static constexpr int defaultVbrQuality = 7;
    // Audio queued beyond this makes write() wait for the encoder. Enough for
    // the synthesis of a request to end well before its encoding, so that the
    // next request's synthesis overlaps, and it keeps memory flat however long
    // the text is (about 1.3 MB at 22,050 Hz).
    static constexpr int maxQueuedSeconds = 30;

    // Called on the encoding thread: the file, or an error (mp3 empty).
    using Done = std::function<void(const QByteArray &mp3, const QString &error)>;

    explicit Mp3Encoder(int sampleRate, int vbrQuality = defaultVbrQuality);
    // Without finish(), the queued audio is dropped and nothing is reported.
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder &) = delete;
    Mp3Encoder &operator=(const Mp3Encoder &) = delete;

    // Sets LAME up and starts the encoding thread.
    bool start(QString *error);
    void write(const short *samples, int count);
    // Ends the input. The queued audio is encoded, LAME flushed and the tag
    // written on the encoding thread, which then calls done once. The encoder
    // itself may be destroyed right after.
    void finish(Done done);

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace parlino
