#include "synthesis/offline/Mp3Encoder.h"

#include <lame/lame.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace parlino {

namespace {

// LAME's own rule for a big enough output buffer.
int outputCapacity(int samples) {
    return samples + samples / 4 + 7200;
}

} // namespace

// What the producer and the encoding thread share. The thread holds it until
// it has reported, so the encoder may be destroyed before its audio is encoded.
struct Mp3Encoder::State {
    int sampleRate;
    int vbrQuality;
    std::size_t maxQueued;
    lame_global_struct *lame = nullptr;
    bool started = false; // the encoding thread runs

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<short>> queue;
    std::size_t queued = 0; // samples in the queue
    bool closed = false;    // no more input
    bool abandoned = false; // closed without finish(): encode nothing more
    bool failed = false;    // set by the encoding thread
    Done done;

    // Encoding thread only.
    QByteArray mp3;
    std::vector<unsigned char> buffer;

    State(int rate, int quality)
        : sampleRate(rate)
        , vbrQuality(quality)
        , maxQueued(std::size_t(rate) * maxQueuedSeconds) {}
    ~State() {
        if (lame)
            lame_close(lame);
    }

    bool setUp(QString *error);
    void run();
    bool encode(const std::vector<short> &samples);
    QByteArray finishFile(QString *error);
};

bool Mp3Encoder::State::setUp(QString *error) {
    lame = lame_init();
    if (!lame) {
        *error = QStringLiteral("The MP3 encoder could not start.");
        return false;
    }
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, float(vbrQuality));
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    // LAME's fast algorithms (-q 7): a little psychoacoustic refinement for
    // about half the encoding work, which keeps encoding level with synthesis.
    lame_set_quality(lame, 7);
    if (lame_init_params(lame) < 0) {
        *error = QStringLiteral("The MP3 encoder refused its settings.");
        return false;
    }
    return true;
}

void Mp3Encoder::State::run() {
    for (;;) {
        std::vector<short> chunk;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return !queue.empty() || closed; });
            if (abandoned)
                return;
            if (queue.empty())
                break;
            chunk = std::move(queue.front());
            queue.pop_front();
            queued -= chunk.size();
        }
        changed.notify_all();
        if (!failed && !encode(chunk)) {
            std::lock_guard<std::mutex> lock(mutex);
            failed = true;
            changed.notify_all();
        }
    }
    QString error = QStringLiteral("The MP3 encoder failed.");
    const QByteArray file = failed ? QByteArray() : finishFile(&error);
    const Done report = std::move(done);
    if (report)
        report(file, file.isEmpty() ? error : QString());
}

bool Mp3Encoder::State::encode(const std::vector<short> &samples) {
    const int count = int(samples.size());
    buffer.resize(std::size_t(outputCapacity(count)));
    // Mono: LAME reads only the first channel.
    const int written = lame_encode_buffer(lame, samples.data(), samples.data(), count,
                                           buffer.data(), int(buffer.size()));
    if (written < 0)
        return false;
    mp3.append(reinterpret_cast<const char *>(buffer.data()), written);
    return true;
}

// Flushes LAME and fills in the tag frame LAME reserved at the start, now that
// the frame count and the encoder delay are known.
QByteArray Mp3Encoder::State::finishFile(QString *error) {
    buffer.resize(7200);
    const int flushed = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    if (flushed < 0) {
        *error = QStringLiteral("The MP3 encoder failed to finish the file.");
        return {};
    }
    mp3.append(reinterpret_cast<const char *>(buffer.data()), flushed);
    unsigned char tag[2880];
    const std::size_t tagSize = lame_get_lametag_frame(lame, tag, sizeof tag);
    if (tagSize == 0 || tagSize > sizeof tag || tagSize > std::size_t(mp3.size())) {
        *error = QStringLiteral("The MP3 encoder wrote no length tag.");
        return {};
    }
    std::memcpy(mp3.data(), tag, tagSize);
    return std::move(mp3);
}

Mp3Encoder::Mp3Encoder(int sampleRate, int vbrQuality)
    : m_state(std::make_shared<State>(sampleRate, vbrQuality)) {}

Mp3Encoder::~Mp3Encoder() {
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        if (m_state->closed)
            return;
        m_state->closed = true;
        m_state->abandoned = true;
        m_state->queue.clear();
        m_state->queued = 0;
    }
    m_state->changed.notify_all();
}

bool Mp3Encoder::start(QString *error) {
    if (!m_state->setUp(error))
        return false;
    // The thread owns its share of the state and reports through it; nothing
    // waits for it to end.
    std::thread([state = m_state] { state->run(); }).detach();
    m_state->started = true;
    return true;
}

void Mp3Encoder::write(const short *samples, int count) {
    if (count <= 0)
        return;
    State &s = *m_state;
    std::unique_lock<std::mutex> lock(s.mutex);
    s.changed.wait(lock, [&s] { return s.queued < s.maxQueued || s.failed; });
    if (s.failed || s.closed)
        return;
    s.queue.emplace_back(samples, samples + count);
    s.queued += std::size_t(count);
    lock.unlock();
    s.changed.notify_all();
}

void Mp3Encoder::finish(Done done) {
    State &s = *m_state;
    if (!s.started) {
        done(QByteArray(), QStringLiteral("The MP3 encoder was not started."));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.closed)
            return;
        s.done = std::move(done);
        s.closed = true;
    }
    s.changed.notify_all();
}

} // namespace parlino
