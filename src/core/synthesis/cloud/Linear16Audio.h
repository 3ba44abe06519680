#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace parlino {

// The cloud service's LINEAR16 audio (a WAV file) read as mono PCM, and the
// timepoints its v1beta1 method reports for SSML marks.
namespace Linear16Audio {

struct Pcm {
    int sampleRate = 0;
    QByteArray samples; // 16-bit signed little-endian mono
};

struct Timepoint {
    QString markName;
    double seconds = 0;
};

// Reads a RIFF/WAVE file of 16-bit PCM; more channels are mixed down to one.
// False with a reason when it is anything else.
bool read(const QByteArray &wav, Pcm *out, QString *error);

// The reply's "timepoints": [{"markName": ..., "timeSeconds": ...}], in order.
QList<Timepoint> timepoints(const QJsonObject &reply);

} // namespace Linear16Audio

} // namespace parlino
