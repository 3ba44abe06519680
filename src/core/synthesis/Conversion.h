#pragma once

#include "editing/SSMLCharactersModel.h"
#include "output/AudioDestination.h"
#include "playback/SpeechTiming.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SpeechError.h"
#include "synthesis/Subtitles.h"

#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace parlino {

// What one conversion speaks: the text with its spans (offsets in UTF-16
// code units), the voice (empty when the language has none) and the pitch
// and speed as the sliders give them.
struct ConversionInput {
    QString text;
    EffectsArray spans;
    QString voice;
    double pitch = 0;
    double speed = 100;
    // The text as assembled for this input when the caller has assembled it
    // already; otherwise the conversion assembles it.
    std::optional<QString> ssml = std::nullopt;
    // Subtitles to write beside the audio file, when set.
    std::optional<Subtitles::Format> subtitles = std::nullopt;
};

struct ConversionResult {
    enum Status { Saved, Cancelled, Refused, Failed };
    Status status = Failed;
    QString path;      // when Saved
    SpeechError error; // when Refused or Failed
};

// Runs conversions from text to an MP3 file for the editor and the command
// line: checks the input, assembles SSML, builds the request body, has the
// speech engine synthesise it and writes the audio to its destination, and
// the subtitles beside it when asked (NAME.srt or NAME.vtt for NAME.mp3).
// Conversions may overlap; each ends in exactly one result, always after
// start() has returned. busyChanged(true) comes when the first running
// synthesis starts and busyChanged(false) when the last one has ended, before
// the audio is written (so an overlay is gone before a folder dialog opens).
class Conversion : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const ConversionResult &)>;

    explicit Conversion(SpeechEngine *engine = nullptr, QObject *parent = nullptr);

    // The engine is not owned; conversions running on an engine that is
    // destroyed fail.
    void setEngine(SpeechEngine *engine);
    SpeechEngine *engine() const;

    // Why the input cannot be converted, or an empty string.
    static QString refusal(const ConversionInput &input);
    // The request body for the input (which must not be refused).
    static QJsonObject request(const ConversionInput &input);

    void start(const ConversionInput &input, const AudioDestination &destination,
               Done done = Done());

    bool isBusy() const { return !m_running.isEmpty(); }

signals:
    void busyChanged(bool busy);
    // A refusal or failure, with a message worded for an alert. A cancelled
    // folder choice is not a failure.
    void failed(const SpeechError &error);
    void saved(const QString &path);
    void finished(const ConversionResult &result);

private:
    struct Running {
        const QObject *engine; // identity only, to fail the right ones on its destruction
        AudioDestination destination;
        Done done;
        ConversionInput input;
        QList<TextRange> units; // the ranges of the request's marks, for subtitles
    };
    struct Timing {
        QList<SpeechEngine::MarkTime> marks;
        double seconds = -1;
    };

    void synthesized(quint64 id, const QByteArray &mp3, const SpeechError &error,
                     const Timing &timing);
    static QString writeSubtitles(const Running &running, const QString &audioPath,
                                  const Timing &timing);
    void engineDestroyed(QObject *engine);
    void report(const ConversionResult &result, const Done &done);
    void reportLater(const ConversionResult &result, const Done &done);

    QPointer<SpeechEngine> m_engine;
    QHash<quint64, Running> m_running;
    quint64 m_nextId = 1;
};

} // namespace parlino
