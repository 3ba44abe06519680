#pragma once

#include <QString>

#include <memory>

namespace parlino {

// The audio device as AudioPlayer drives it: 16-bit mono PCM pushed in,
// polled for room and progress. Qt Multimedia's implementation lives in a
// module (parlino_qtaudio) loaded on first use, so that starting the editor
// does not load Qt Multimedia and the sound libraries behind it.
class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Opens the default output; false with "No audio output" when there is none.
    virtual bool open(int sampleRate, int bufferBytes, QString *error) = 0;
    virtual qint64 bytesFree() const = 0;
    virtual qint64 write(const char *data, qint64 size) = 0;
    // Microseconds of audio the device has played since open().
    virtual qint64 processedUSecs() const = 0;
    // The device has played everything it was given.
    virtual bool isIdle() const = 0;
    // The device went away or cannot play.
    virtual bool hasFailed() const = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
};

// A new backend from the module, or nothing with "No audio output" when the
// module or Qt Multimedia cannot be loaded (the reason goes to the log).
std::unique_ptr<AudioBackend> createAudioBackend(QString *error);

} // namespace parlino

// The module's one entry point.
using ParlinoAudioBackendFactory = parlino::AudioBackend *(*)();
