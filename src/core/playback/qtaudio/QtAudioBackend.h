#pragma once

#include "playback/AudioBackend.h"

#include <memory>

class QAudioSink;
class QIODevice;

namespace parlino {

// AudioBackend over Qt Multimedia's QAudioSink in push mode on the default
// output (PulseAudio, or PipeWire's Pulse server).
class QtAudioBackend : public AudioBackend {
public:
    QtAudioBackend();
    ~QtAudioBackend() override;

    bool open(int sampleRate, int bufferBytes, QString *error) override;
    qint64 bytesFree() const override;
    qint64 write(const char *data, qint64 size) override;
    qint64 processedUSecs() const override;
    bool isIdle() const override;
    bool hasFailed() const override;
    void suspend() override;
    void resume() override;
    void stop() override;

private:
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_device = nullptr; // owned by the sink
};

} // namespace parlino
