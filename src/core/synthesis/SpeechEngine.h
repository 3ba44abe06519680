#pragma once

#include "synthesis/SpeechError.h"
#include "synthesis/SpeechPreview.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
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
    // A mark of the request's SSML and when the audio reaches it.
    struct MarkTime {
        QString name;
        double seconds = 0;
    };
    // MP3 with the times of its marks and its length in seconds (negative
    // when unknown), or an error.
    using TimedCompletion = std::function<void(const QByteArray &mp3, const QList<MarkTime> &marks,
                                               double seconds, const SpeechError &error)>;

    explicit SpeechEngine(QObject *parent = nullptr);
    ~SpeechEngine() override;

    virtual void synthesize(const QJsonObject &request, Completion done) = 0;

    // The most UTF-8 bytes of input one request may carry; a longer document
    // is converted in parts. 0: no limit.
    virtual qint64 partByteLimit() const { return 0; }

    // Like synthesize(), also reporting when the audio reaches each SSML mark.
    // An engine that cannot tell reports no marks.
    virtual void synthesizeTimed(const QJsonObject &request, TimedCompletion done);

    // Speaks the same request as PCM for playing, delivered as it is made
    // (see SpeechPreviewHandlers). An engine that cannot ends at once with an error.
    virtual SpeechPreviewCancel preview(const QJsonObject &request, SpeechPreviewHandlers handlers);
};

} // namespace parlino
