#pragma once

#include "synthesis/SpeechError.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace parlino {

// Receives the audio of a preview (speech to be played, not saved) while it
// is made, on the engine's thread, always after preview() has returned:
// started once with the sample rate, then audio (16-bit mono PCM) and marks
// (an SSML mark's name and its first sample) in any order, then ended once
// (no error when everything was delivered). A failure before any audio skips
// started.
struct SpeechPreviewHandlers {
    std::function<void(int sampleRate)> started;
    std::function<void(const QByteArray &pcm)> audio;
    std::function<void(const QString &mark, qint64 sample)> mark;
    std::function<void(const SpeechError &error)> ended;
};

// Stops a preview: no handler is called after it.
using SpeechPreviewCancel = std::function<void()>;

} // namespace parlino
