#pragma once

#include "synthesis/SpeechEngine.h"

#include <QList>
#include <QVector>

#include <memory>

namespace parlino {

// The audio of an offline synthesis before MP3 encoding, with what eSpeak
// reported along the way; for tests and diagnostics.
struct OfflinePcm {
    struct Event {
        enum Type { Word, Mark };
        Type type;
        qint64 sample; // from the start of the audio
        QString name;  // marks
    };

    QVector<qint16> samples; // mono, bleeps included
    int sampleRate = 22050;
    QList<Event> events;
    QString phonemes; // eSpeak's transcription of what it said
    QString ssml;     // the document eSpeak was given

    double seconds() const { return sampleRate > 0 ? double(samples.size()) / sampleRate : 0.0; }
};

// Speaks a request offline with eSpeak NG and encodes it as MP3 with LAME,
// in this process: mono, 22,050 Hz, VBR about 40 kbit/s with a Xing/LAME tag.
// Requests from every engine of the process queue to the one eSpeak thread;
// each request is encoded on a thread of its own, beside its synthesis and
// the next request's, so completions may come in another order than the
// requests. They arrive on this object's thread. Destroying the engine stops
// its work in progress; its pending completions are then never called.
// Requests with the same voice, pitch and rate that follow each other within
// a minute are brought to the level the first of them measured.
class OfflineSpeechEngine : public SpeechEngine {
    Q_OBJECT
public:
    using PcmCompletion = std::function<void(const OfflinePcm &pcm, const QString &error)>;

    // Every request is brought to this integrated loudness (LUFS), measured
    // without its volume effects; louder volumes go up to the limiter's
    // ceiling.
    static constexpr double targetLoudness = -22.0;
    // The gain when there is too little speech to measure: back to eSpeak's
    // own level.
    static constexpr double nominalGainDb = 6.0;

    explicit OfflineSpeechEngine(QObject *parent = nullptr);
    ~OfflineSpeechEngine() override;

    // A long text goes in parts of this many bytes of input at most: about a
    // minute of speech, whose PCM (2.5 MB) and MP3 (0.3 MB) stay small and
    // whose first part is ready in a tenth of a second. Parts this small let
    // the encoding of one overlap the synthesis of the next all along (the
    // encoding of the last, which nothing overlaps, is short), and they still
    // mostly end at a paragraph's end, where a join's pause goes unnoticed.
    static constexpr qint64 partBytes = 1000;

    qint64 partByteLimit() const override { return partBytes; }
    void synthesize(const QJsonObject &request, Completion done) override;
    void synthesizeTimed(const QJsonObject &request, TimedCompletion done) override;
    // PCM at eSpeak's rate, each buffer handed on as soon as eSpeak has made it.
    SpeechPreviewCancel preview(const QJsonObject &request,
                                SpeechPreviewHandlers handlers) override;

    // Like synthesize(), but hands back the PCM and eSpeak's events and
    // phonemes instead of MP3.
    void synthesizePcm(const QJsonObject &request, PcmCompletion done);

private:
    struct Link;
    void fail(const QString &error, std::function<void(const QString &)> report);

    std::shared_ptr<Link> m_link;
};

} // namespace parlino
