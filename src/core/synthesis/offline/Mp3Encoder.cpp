#include "synthesis/offline/Mp3Encoder.h"

#include <lame/lame.h>

#include <cstring>

namespace parlino {

namespace {

// Queued audio beyond this makes write() wait for the encoder, which keeps
// memory flat however long the text is.
constexpr std::size_t maxQueuedSamples = 32768;

// LAME's own rule for a big enough output buffer.
int outputCapacity(int samples) {
    return samples + samples / 4 + 7200;
}

} // namespace

Mp3Encoder::Mp3Encoder(int sampleRate, int vbrQuality)
    : m_sampleRate(sampleRate)
    , m_vbrQuality(vbrQuality) {}

Mp3Encoder::~Mp3Encoder() {
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    if (m_lame)
        lame_close(m_lame);
}

bool Mp3Encoder::start(QString *error) {
    m_lame = lame_init();
    if (!m_lame) {
        *error = QStringLiteral("The MP3 encoder could not start.");
        return false;
    }
    lame_set_num_channels(m_lame, 1);
    lame_set_mode(m_lame, MONO);
    lame_set_in_samplerate(m_lame, m_sampleRate);
    lame_set_out_samplerate(m_lame, m_sampleRate);
    lame_set_VBR(m_lame, vbr_default);
    lame_set_VBR_quality(m_lame, float(m_vbrQuality));
    lame_set_bWriteVbrTag(m_lame, 1);
    lame_set_write_id3tag_automatic(m_lame, 0);
    // LAME's fast algorithms (-q 7): a little psychoacoustic refinement for
    // about half the encoding work, which keeps encoding level with synthesis.
    lame_set_quality(m_lame, 7);
    if (lame_init_params(m_lame) < 0) {
        *error = QStringLiteral("The MP3 encoder refused its settings.");
        return false;
    }
    m_thread = std::thread([this] { run(); });
    return true;
}

void Mp3Encoder::write(const short *samples, int count) {
    if (count <= 0)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queuedSamples < maxQueuedSamples || m_failed; });
    if (m_failed)
        return;
    m_queue.emplace_back(samples, samples + count);
    m_queuedSamples += std::size_t(count);
    lock.unlock();
    m_changed.notify_all();
}

void Mp3Encoder::run() {
    for (;;) {
        std::vector<short> chunk;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
            if (m_queue.empty())
                return;
            chunk = std::move(m_queue.front());
            m_queue.pop_front();
            m_queuedSamples -= chunk.size();
        }
        m_changed.notify_all();
        if (!encode(chunk)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failed = true;
            m_queue.clear();
            m_queuedSamples = 0;
            m_changed.notify_all();
            return;
        }
    }
}

bool Mp3Encoder::encode(const std::vector<short> &samples) {
    const int count = int(samples.size());
    m_buffer.resize(std::size_t(outputCapacity(count)));
    // Mono: LAME reads only the first channel.
    const int written = lame_encode_buffer(m_lame, samples.data(), samples.data(), count,
                                           m_buffer.data(), int(m_buffer.size()));
    if (written < 0)
        return false;
    m_mp3.append(reinterpret_cast<const char *>(m_buffer.data()), written);
    return true;
}

QByteArray Mp3Encoder::finish(QString *error) {
    if (!m_thread.joinable()) {
        *error = QStringLiteral("The MP3 encoder was not started.");
        return {};
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
    m_thread.join();
    if (m_failed) {
        *error = QStringLiteral("The MP3 encoder failed.");
        return {};
    }
    m_buffer.resize(7200);
    const int flushed = lame_encode_flush(m_lame, m_buffer.data(), int(m_buffer.size()));
    if (flushed < 0) {
        *error = QStringLiteral("The MP3 encoder failed to finish the file.");
        return {};
    }
    m_mp3.append(reinterpret_cast<const char *>(m_buffer.data()), flushed);

    // LAME reserved the first frame for the Xing/LAME tag; fill it in now
    // that the frame count and the encoder delay are known.
    unsigned char tag[2880];
    const std::size_t tagSize = lame_get_lametag_frame(m_lame, tag, sizeof tag);
    if (tagSize == 0 || tagSize > sizeof tag || tagSize > std::size_t(m_mp3.size())) {
        *error = QStringLiteral("The MP3 encoder wrote no length tag.");
        return {};
    }
    std::memcpy(m_mp3.data(), tag, tagSize);
    return std::move(m_mp3);
}

} // namespace parlino
