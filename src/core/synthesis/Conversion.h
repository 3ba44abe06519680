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

#include <chrono>
#include <functional>
#include <memory>
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

// How far a running conversion has come: parts whose audio is written, and
// the characters they hold.
struct ConversionProgress {
    quint64 id = 0;
    int partsDone = 0;
    int partsTotal = 0;
    qint64 charactersDone = 0;
    qint64 charactersTotal = 0;
};

// Runs conversions from text to an MP3 file for the editor and the command
// line: checks the input, cuts it into parts the engine takes (one part when
// it has no limit), has the engine synthesise the parts, up to jobs() of them
// at once, trying a part again when the failure may pass, joins their audio
// in order into one MP3 in a private spool file, and only when every part has
// come writes it to its destination, with the subtitles beside it when asked
// (NAME.srt or NAME.vtt for NAME.mp3). A failed or cancelled conversion
// writes nothing. Conversions may overlap; each ends in exactly one result,
// always after start() has returned. busyChanged(true) comes when the first
// running synthesis starts and busyChanged(false) when the last one has
// ended, before the audio is written (so an overlay is gone before a folder
// dialog opens).
class Conversion : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const ConversionResult &)>;

    static constexpr int defaultJobs = 4;
    static constexpr int maxJobs = 8;
    // Tries of a part after its first, when its failure may pass.
    static constexpr int maxRetries = 3;

    explicit Conversion(SpeechEngine *engine = nullptr, QObject *parent = nullptr);
    ~Conversion() override;

    // The engine is not owned; conversions running on an engine that is
    // destroyed fail.
    void setEngine(SpeechEngine *engine);
    SpeechEngine *engine() const;

    // Parts in flight at once, 1 to maxJobs.
    void setJobs(int jobs);
    int jobs() const { return m_jobs; }
    // The wait before the first new try of a part; it doubles for each
    // further try, unless the service asks for a wait of its own.
    void setRetryDelay(std::chrono::milliseconds delay) { m_retryDelay = delay; }

    // Why the input cannot be converted, or an empty string.
    static QString refusal(const ConversionInput &input);
    // The most input bytes of one part, for an engine's limit (0: none);
    // smaller with subtitles, whose marks need room.
    static qint64 partByteLimit(qint64 engineLimit, bool subtitles);
    // The request body for the input (which must not be refused).
    static QJsonObject request(const ConversionInput &input);

    // Returns the conversion's id, for cancel() and progressed().
    quint64 start(const ConversionInput &input, const AudioDestination &destination,
                  Done done = Done());
    // Stops a conversion: nothing is written, and it ends as Cancelled.
    void cancel(quint64 id);
    void cancelAll();

    bool isBusy() const { return !m_running.isEmpty(); }

signals:
    void busyChanged(bool busy);
    void progressed(const ConversionProgress &progress);
    // A refusal or failure, with a message worded for an alert. A cancelled
    // folder choice or conversion is not a failure.
    void failed(const SpeechError &error);
    void saved(const QString &path);
    void finished(const ConversionResult &result);

private:
    struct Running;
    struct PartAudio;

    void sendParts(quint64 id);
    void sendPart(quint64 id, int index);
    void partDone(quint64 id, int index, const PartAudio &audio);
    void partFailed(quint64 id, int index, const SpeechError &error);
    bool writeArrived(Running &running, SpeechError *error);
    void complete(quint64 id);
    void end(quint64 id, const ConversionResult &result);
    std::shared_ptr<Running> take(quint64 id);
    static QString writeSubtitles(const Running &running, const QString &audioPath);
    void engineDestroyed(QObject *engine);
    void report(const ConversionResult &result, const Done &done);
    void reportLater(const ConversionResult &result, const Done &done);

    QPointer<SpeechEngine> m_engine;
    QHash<quint64, std::shared_ptr<Running>> m_running;
    quint64 m_nextId = 1;
    int m_jobs = defaultJobs;
    std::chrono::milliseconds m_retryDelay{1000};
};

} // namespace parlino
