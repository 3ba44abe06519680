#include "playback/qtaudio/QtAudioBackend.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace parlino {

QtAudioBackend::QtAudioBackend() = default;

QtAudioBackend::~QtAudioBackend() {
    stop();
}

bool QtAudioBackend::open(int sampleRate, int bufferBytes, QString *error) {
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        *error = QStringLiteral("No audio output");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->setBufferSize(bufferBytes);
    m_device = m_sink->start();
    if (!m_device || m_sink->error() == QAudio::OpenError) {
        m_sink.reset();
        m_device = nullptr;
        *error = QStringLiteral("No audio output");
        return false;
    }
    return true;
}

qint64 QtAudioBackend::bytesFree() const {
    return m_sink ? m_sink->bytesFree() : 0;
}

qint64 QtAudioBackend::write(const char *data, qint64 size) {
    return m_device ? m_device->write(data, size) : -1;
}

qint64 QtAudioBackend::processedUSecs() const {
    return m_sink ? m_sink->processedUSecs() : 0;
}

bool QtAudioBackend::isIdle() const {
    return m_sink && m_sink->state() == QAudio::IdleState;
}

bool QtAudioBackend::hasFailed() const {
    return m_sink &&
           (m_sink->error() == QAudio::FatalError || m_sink->error() == QAudio::OpenError);
}

void QtAudioBackend::suspend() {
    if (m_sink)
        m_sink->suspend();
}

void QtAudioBackend::resume() {
    if (m_sink)
        m_sink->resume();
}

void QtAudioBackend::stop() {
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink.reset();
    m_device = nullptr;
}

} // namespace parlino

extern "C" Q_DECL_EXPORT parlino::AudioBackend *parlino_create_audio_backend() {
    return new parlino::QtAudioBackend;
}
