#pragma once

#include "playback/SpeechTiming.h"

#include <QByteArray>
#include <QList>

namespace parlino {

// Speech as PCM: 16-bit signed little-endian mono samples, with the words
// (ranges in the spoken text) at the samples where the voice reaches them.
struct SpokenAudio {
    int sampleRate = 0;
    QByteArray pcm;
    QList<TimedWord> words; // in order of their samples

    qint64 sampleCount() const { return pcm.size() / 2; }
    double seconds() const { return sampleRate > 0 ? double(sampleCount()) / sampleRate : 0.0; }
    qint64 bytes() const { return pcm.size() + words.size() * qint64(sizeof(TimedWord)); }
    // The last word reached at this sample, or -1 before the first.
    qsizetype wordAt(qint64 sample) const;
};

} // namespace parlino
