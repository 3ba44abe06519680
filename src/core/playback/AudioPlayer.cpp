#include "playback/AudioPlayer.h"

#include "Logging.h"
#include "playback/AudioBackend.h"

namespace parlino {

namespace {

// Pushing every 10 ms into a 200 ms device buffer keeps the sound gapless
// while pause, stop and the spoken-word mark follow the user within a fifth
// of a second.
constexpr int feedIntervalMs = 10;
constexpr int bufferMs = 200;

QString noOutput() {
    return QStringLiteral("No audio output");
}

} // namespace

AudioPlayer::AudioPlayer(QObject *parent)
    : QObject(parent) {
    m_feedTimer.setInterval(feedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &AudioPlayer::feed);
}

AudioPlayer::~AudioPlayer() {
    stop();
}

bool AudioPlayer::open(int sampleRate, QString *error) {
    stop();
    m_sink = createAudioBackend(error);
    if (!m_sink)
        return false;
    if (!m_sink->open(sampleRate, sampleRate * 2 * bufferMs / 1000, error)) {
        qCWarning(lcSynthesis, "playback: the audio output could not be opened");
        m_sink.reset();
        return false;
    }
    m_sampleRate = sampleRate;
    m_pending.clear();
    m_pendingStart = 0;
    m_written = 0;
    m_inputEnded = false;
    m_paused = false;
    m_finished = false;
    m_feedTimer.start();
    return true;
}

void AudioPlayer::append(const QByteArray &pcm) {
    if (!m_sink)
        return;
    m_pending.append(pcm);
    feed();
}

void AudioPlayer::endOfInput() {
    m_inputEnded = true;
    feed();
}

void AudioPlayer::pause() {
    if (!m_sink || m_paused)
        return;
    m_paused = true;
    m_sink->suspend();
}

void AudioPlayer::resume() {
    if (!m_sink || !m_paused)
        return;
    m_paused = false;
    m_sink->resume();
    feed();
}

void AudioPlayer::stop() {
    m_feedTimer.stop();
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink.reset();
    m_pending.clear();
    m_pendingStart = 0;
}

qint64 AudioPlayer::playedSamples() const {
    if (!m_sink || m_sampleRate <= 0)
        return 0;
    const qint64 processed = m_sink->processedUSecs() * m_sampleRate / 1000000;
    return qMin(processed, m_written / 2);
}

void AudioPlayer::feed() {
    if (!m_sink || m_paused)
        return;
    const qsizetype available = m_pending.size() - m_pendingStart;
    if (available > 0) {
        const qsizetype room = m_sink->bytesFree();
        const qsizetype chunk = qMin(available, room) & ~qsizetype(1);
        if (chunk > 0) {
            const qint64 written = m_sink->write(m_pending.constData() + m_pendingStart, chunk);
            if (written > 0) {
                if (m_written == 0)
                    emit firstAudioWritten();
                m_written += written;
                m_pendingStart += written;
            }
        }
        // Drop what the device has taken once it is a good part of the buffer.
        if (m_pendingStart > (1 << 20) || m_pendingStart == m_pending.size()) {
            m_pending.remove(0, m_pendingStart);
            m_pendingStart = 0;
        }
    }
    checkEnd();
}

// The sound has ended when every byte was written and the device ran dry.
void AudioPlayer::checkEnd() {
    if (!m_sink || m_finished)
        return;
    // Reported from the event loop: a listener may well destroy this player.
    if (m_sink->hasFailed()) {
        m_finished = true;
        m_feedTimer.stop();
        QTimer::singleShot(0, this, [this] {
            stop();
            emit failed(noOutput());
        });
        return;
    }
    const bool allWritten = m_inputEnded && m_pending.size() == m_pendingStart;
    if (!allWritten || m_paused)
        return;
    const bool drained =
        m_sink->isIdle() || m_sink->processedUSecs() * m_sampleRate / 1000000 >= m_written / 2;
    if (!drained)
        return;
    m_finished = true;
    m_feedTimer.stop();
    QTimer::singleShot(0, this, [this] {
        if (m_finished && m_sink)
            emit finished();
    });
}

} // namespace parlino
