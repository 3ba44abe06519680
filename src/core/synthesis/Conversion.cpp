#include "synthesis/Conversion.h"

#include "Logging.h"
#include "output/Mp3Joiner.h"
#include "output/SaveFile.h"
#include "synthesis/RequestSplitter.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/SynthesisRequest.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

namespace parlino {

// The audio of one part as it came from the engine, with its marks.
struct Conversion::PartAudio {
    QByteArray mp3;
    QList<SpeechEngine::MarkTime> marks;
};

// One conversion on its way: its parts, which of them are out, which have
// come, and the spool file their audio is joined into.
struct Conversion::Running {
    // Not owned: a conversion ends when its engine is destroyed.
    SpeechEngine *engine = nullptr;
    AudioDestination destination;
    Done done;
    ConversionInput input;
    QList<ConversionPart> parts;
    QList<int> tries;              // per part, the tries sent
    QList<QList<TextRange>> units; // per part, the ranges of its marks (subtitles)
    QMap<int, PartAudio> arrived;  // parts synthesised but not yet joined
    int nextToSend = 0;
    int nextToWrite = 0;
    int inFlight = 0; // requests out, and parts waiting for a new try
    qint64 charactersDone = 0;
    QTemporaryFile spool;
    std::unique_ptr<Mp3Joiner> joiner;
    QList<WordStart> starts; // every part's words, in the whole text and the joined audio
};

namespace {

// Subtitles mark every word; the marks make a part's request larger than its
// text, so parts are cut smaller to leave them room.
constexpr double subtitlePartShare = 0.6;
constexpr std::chrono::milliseconds maxRetryWait{60000};

ConversionInput partInput(const ConversionInput &whole, const ConversionPart &part) {
    ConversionInput input = whole;
    input.text = part.text;
    input.spans = part.spans;
    input.ssml.reset();
    return input;
}

// "Part 3 of 12, characters 10,234–14,980: " before a part's failure, when
// there are several parts.
QString partPlace(const QList<ConversionPart> &parts, int index) {
    if (parts.size() < 2)
        return QString();
    const QLocale english(QLocale::English);
    const ConversionPart &part = parts.at(index);
    return QStringLiteral("Part %1 of %2, characters %3\u2013%4: ")
        .arg(index + 1)
        .arg(parts.size())
        .arg(english.toString(part.start + 1), english.toString(part.end));
}

// The spool goes to the cache folder, which is on disk, rather than to a
// temporary folder that may be in memory: hours of speech make hundreds of
// megabytes.
QString spoolTemplate() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("conversion-XXXXXX.mp3.part"));
}

SpeechError noUsableAudio() {
    return {SpeechError::NoAudio, QStringLiteral("The speech service returned no usable audio.")};
}

} // namespace

Conversion::Conversion(SpeechEngine *engine, QObject *parent)
    : QObject(parent) {
    setEngine(engine);
}

Conversion::~Conversion() = default;

void Conversion::setJobs(int jobs) {
    m_jobs = qBound(1, jobs, maxJobs);
}

void Conversion::setEngine(SpeechEngine *engine) {
    m_engine = engine;
    if (engine)
        connect(engine, &QObject::destroyed, this, &Conversion::engineDestroyed,
                Qt::UniqueConnection);
}

SpeechEngine *Conversion::engine() const {
    return m_engine;
}

QString Conversion::refusal(const ConversionInput &input) {
    if (input.text.isEmpty())
        return QStringLiteral("Text not empty!");
    if (input.voice.isEmpty())
        return QStringLiteral("The cloud service has no voice for this language. Choose another "
                              "language, or the offline voice, which speaks it.");
    if (!SynthesisRequest::isUsableVoiceName(input.voice))
        return QStringLiteral("\"%1\" is not a voice name.").arg(input.voice);
    return QString();
}

qint64 Conversion::partByteLimit(qint64 engineLimit, bool subtitles) {
    return subtitles && engineLimit > 0 ? qint64(double(engineLimit) * subtitlePartShare)
                                        : engineLimit;
}

QJsonObject Conversion::request(const ConversionInput &input) {
    const QString ssmlString = input.ssml ? *input.ssml : assembleSsml(input.text, input.spans);
    qCDebug(lcSynthesis, "%s", qUtf8Printable(ssmlString));
    return SynthesisRequest::body(input.text, ssmlString, input.voice, input.pitch, input.speed);
}

quint64 Conversion::start(const ConversionInput &input, const AudioDestination &destination,
                          Done done) {
    ConversionResult refused;
    refused.status = ConversionResult::Refused;
    refused.error = {SpeechError::Refused, refusal(input)};
    if (refused.error.message.isEmpty() && !m_engine) {
        refused.status = ConversionResult::Failed;
        refused.error = {SpeechError::NoEngine, QStringLiteral("No speech engine is available.")};
    }
    auto running = std::make_shared<Running>();
    running->spool.setFileTemplate(spoolTemplate());
    if (refused.error.message.isEmpty() && !running->spool.open()) {
        refused.status = ConversionResult::Failed;
        refused.error = {SpeechError::Write,
                         QStringLiteral("Could not make a temporary file for the audio: %1")
                             .arg(running->spool.errorString())};
    }
    if (!refused.error.message.isEmpty()) {
        reportLater(refused, done);
        return 0;
    }

    const quint64 id = m_nextId++;
    const bool wasBusy = isBusy();
    running->engine = m_engine.data();
    running->destination = destination;
    running->done = std::move(done);
    running->input = input;
    const qint64 limit = partByteLimit(m_engine->partByteLimit(), input.subtitles.has_value());
    if (limit > 0) {
        running->parts = RequestSplitter::split(input.text, input.spans, input.voice, limit);
        // A run of white space longer than a part has nothing to say.
        if (running->parts.size() > 1)
            running->parts.removeIf(
                [](const ConversionPart &part) { return part.text.trimmed().isEmpty(); });
    } else {
        running->parts = {ConversionPart{0, int(input.text.size()), input.text, input.spans}};
    }
    running->tries.fill(0, running->parts.size());
    running->units.resize(running->parts.size());
    running->joiner = std::make_unique<Mp3Joiner>(&running->spool);
    m_running.insert(id, running);
    if (!wasBusy)
        emit busyChanged(true);
    emit progressed({id, 0, int(running->parts.size()), 0, input.text.size()});
    sendParts(id);
    return id;
}

// Sends parts while fewer than jobs() are out; parts that came early wait
// for those before them, and at most as many again are let ahead, so that a
// slow part never has the whole document's audio piling up behind it.
void Conversion::sendParts(quint64 id) {
    const std::shared_ptr<Running> running = m_running.value(id);
    while (running && m_running.contains(id) && running->nextToSend < running->parts.size() &&
           running->inFlight < m_jobs && running->nextToSend < running->nextToWrite + 2 * m_jobs)
        sendPart(id, running->nextToSend++);
}

void Conversion::sendPart(quint64 id, int index) {
    Running &running = *m_running.value(id);
    ++running.inFlight;
    ++running.tries[index];
    const ConversionPart &part = running.parts.at(index);
    ConversionInput input = partInput(running.input, part);
    if (running.parts.size() == 1)
        input.ssml = running.input.ssml;
    const QPointer<Conversion> self(this);
    if (!input.subtitles) {
        running.engine->synthesize(
            request(input), [self, id, index](const QByteArray &mp3, const SpeechError &error) {
                if (!self)
                    return;
                if (error.isError())
                    self->partFailed(id, index, error);
                else
                    self->partDone(id, index, PartAudio{mp3, {}});
            });
        return;
    }
    // Subtitles need to know when each word is spoken: the request carries marks.
    const QJsonObject body =
        markedRequest(input, running.engine->partByteLimit(), &running.units[index]);
    running.engine->synthesizeTimed(
        body, [self, id, index](const QByteArray &mp3, const QList<SpeechEngine::MarkTime> &marks,
                                double, const SpeechError &error) {
            if (!self)
                return;
            if (error.isError())
                self->partFailed(id, index, error);
            else
                self->partDone(id, index, PartAudio{mp3, marks});
        });
}

void Conversion::partFailed(quint64 id, int index, const SpeechError &error) {
    const std::shared_ptr<Running> running = m_running.value(id);
    if (!running)
        return;
    if (error.isRetryable() && running->tries.at(index) <= maxRetries) {
        const int doubling = running->tries.at(index) - 1;
        // The service's own wait, within reason: a user waits for the result.
        const auto wait =
            error.retryAfterMs >= 0
                ? std::min(std::chrono::milliseconds(error.retryAfterMs), maxRetryWait)
                : m_retryDelay * (1 << doubling);
        qCDebug(lcSynthesis, "part %d: %s; trying again in %lld ms", index + 1,
                qUtf8Printable(error.message), qlonglong(wait.count()));
        QTimer::singleShot(wait, this, [this, id, index] {
            const std::shared_ptr<Running> waiting = m_running.value(id);
            if (!waiting)
                return;
            --waiting->inFlight;
            sendPart(id, index);
        });
        return;
    }
    SpeechError failure = error;
    failure.message = partPlace(running->parts, index) + error.message;
    ConversionResult result;
    result.error = failure;
    end(id, result);
}

void Conversion::partDone(quint64 id, int index, const PartAudio &audio) {
    const std::shared_ptr<Running> running = m_running.value(id);
    if (!running)
        return;
    --running->inFlight;
    running->arrived.insert(index, audio);
    const int written = running->nextToWrite;
    SpeechError error;
    if (!writeArrived(*running, &error)) {
        error.message = partPlace(running->parts, running->nextToWrite) + error.message;
        ConversionResult result;
        result.error = error;
        end(id, result);
        return;
    }
    if (running->nextToWrite > written)
        emit progressed({id, running->nextToWrite, int(running->parts.size()),
                         running->charactersDone, running->input.text.size()});
    if (running->nextToWrite == running->parts.size())
        complete(id);
    else
        sendParts(id);
}

// Joins the parts that have come, in order, into the spool file.
bool Conversion::writeArrived(Running &running, SpeechError *error) {
    for (auto it = running.arrived.find(running.nextToWrite); it != running.arrived.end();
         it = running.arrived.find(running.nextToWrite)) {
        const PartAudio audio = it.value();
        running.arrived.erase(it);
        const double offset = running.joiner->seconds();
        QString problem;
        if (!running.joiner->append(audio.mp3, &problem)) {
            *error = Mp3Joiner::looksLikeMp3(audio.mp3)
                         ? SpeechError{SpeechError::Write,
                                       QStringLiteral("The audio could not be put together: %1")
                                           .arg(problem)}
                         : noUsableAudio();
            return false;
        }
        const ConversionPart &part = running.parts.at(running.nextToWrite);
        const QList<TextRange> &units = running.units.at(running.nextToWrite);
        for (const SpeechEngine::MarkTime &mark : audio.marks) {
            const int unit = markIndex(mark.name);
            if (unit >= 0 && unit < units.size())
                running.starts.append(
                    {part.start + units.at(unit).location, offset + mark.seconds});
        }
        running.charactersDone += part.end - part.start;
        ++running.nextToWrite;
    }
    return true;
}

// Every part is joined: the header goes in, and the spool goes to its destination.
void Conversion::complete(quint64 id) {
    const std::shared_ptr<Running> running = take(id);
    ConversionResult result;
    QString problem;
    if (!running->joiner->finish(&problem) || !running->spool.seek(0)) {
        result.error = {SpeechError::Write,
                        QStringLiteral("The audio could not be put together: %1")
                            .arg(problem.isEmpty() ? running->spool.errorString() : problem)};
        report(result, running->done);
        return;
    }
    const AudioFileOutput::Result written = running->destination.write(running->spool);
    result.path = written.path;
    if (!written.error.isEmpty())
        result.error = {SpeechError::Write, written.error};
    if (written.status == AudioFileOutput::Result::Saved)
        result.status = ConversionResult::Saved;
    if (result.status == ConversionResult::Saved && running->input.subtitles) {
        const QString failure = writeSubtitles(*running, written.path);
        if (!failure.isEmpty()) {
            result.status = ConversionResult::Failed;
            result.error = {SpeechError::Write, failure};
        }
    } else if (written.status == AudioFileOutput::Result::Cancelled) {
        result.status = ConversionResult::Cancelled;
    }
    report(result, running->done);
}

void Conversion::cancel(quint64 id) {
    if (!m_running.contains(id))
        return;
    ConversionResult result;
    result.status = ConversionResult::Cancelled;
    end(id, result);
}

void Conversion::cancelAll() {
    const QList<quint64> ids = m_running.keys();
    for (const quint64 id : ids)
        cancel(id);
}

// Ends a conversion before its audio is written; its spool file goes with it.
void Conversion::end(quint64 id, const ConversionResult &result) {
    const std::shared_ptr<Running> running = take(id);
    if (running)
        report(result, running->done);
}

std::shared_ptr<Conversion::Running> Conversion::take(quint64 id) {
    const std::shared_ptr<Running> running = m_running.take(id);
    if (running && !isBusy())
        emit busyChanged(false);
    return running;
}

// Writes NAME.srt or NAME.vtt beside NAME.mp3, whole or not at all. Returns
// why it could not, or an empty string.
QString Conversion::writeSubtitles(const Running &running, const QString &audioPath) {
    const Subtitles::Format format = *running.input.subtitles;
    const QString text = Subtitles::format(
        Subtitles::cues(running.input.text, running.starts, running.joiner->seconds()), format);
    const QFileInfo audio(audioPath);
    const QString path =
        audio.dir().filePath(audio.completeBaseName() + u'.' + Subtitles::suffix(format));
    QString problem;
    if (!SaveFile::save(path, text.toUtf8(), &problem))
        return QStringLiteral("The audio was saved as %1, but the subtitles could not be "
                              "written: %2")
            .arg(audioPath, problem);
    qCDebug(lcSynthesis, "subtitles written to %s", qUtf8Printable(path));
    return QString();
}

void Conversion::engineDestroyed(QObject *engine) {
    QList<quint64> ended;
    for (auto it = m_running.cbegin(); it != m_running.cend(); ++it)
        if (it.value()->engine == engine)
            ended.append(it.key());
    ConversionResult result;
    result.error = {SpeechError::NoEngine, QStringLiteral("The conversion was cancelled.")};
    for (const quint64 id : ended)
        end(id, result);
}

void Conversion::report(const ConversionResult &result, const Done &done) {
    switch (result.status) {
    case ConversionResult::Saved:
        emit saved(result.path);
        break;
    case ConversionResult::Refused:
    case ConversionResult::Failed:
        emit failed(result.error);
        break;
    case ConversionResult::Cancelled:
        break;
    }
    emit finished(result);
    if (done)
        done(result);
}

void Conversion::reportLater(const ConversionResult &result, const Done &done) {
    QTimer::singleShot(0, this, [this, result, done] { report(result, done); });
}

} // namespace parlino
