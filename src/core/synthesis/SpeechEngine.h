#pragma once

#include "synthesis/SpeechPreview.h"

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
// bytes (error empty) or an error message for the user (audio empty).
class SpeechEngine : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const QByteArray &mp3, const QString &error)>;

    explicit SpeechEngine(QObject *parent = nullptr);
    ~SpeechEngine() override;

    virtual void synthesize(const QJsonObject &request, Completion done) = 0;

    // Speaks the same request as PCM for playing, delivered as it is made
    // (see SpeechPreviewHandlers). An engine that cannot ends at once with an error.
    virtual SpeechPreviewCancel preview(const QJsonObject &request, SpeechPreviewHandlers handlers);
};

} // namespace parlino
