#pragma once

#include "synthesis/SpeechError.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>

namespace parlino {

// Turns a synthesis request into MP3 audio. The request is the JSON object
// the cloud service takes:
//   {"input": {"text": ...} or {"ssml": ...},
//    "voice": {"languageCode": "en-GB", "name": "en-GB-Standard-A"},
//    "audioConfig": {"audioEncoding": "MP3", "pitch": 0, "speakingRate": "1.00"}}
// Every call of synthesize() ends in exactly one call of its completion, on
// the thread the engine lives in, after synthesize() has returned: either MP3
// bytes (no error) or an error with its kind and a message for the user
// (audio empty).
class SpeechEngine : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const QByteArray &mp3, const SpeechError &error)>;

    explicit SpeechEngine(QObject *parent = nullptr);
    ~SpeechEngine() override;

    virtual void synthesize(const QJsonObject &request, Completion done) = 0;
};

} // namespace parlino
