#include "synthesis/offline/OfflineSpeechEngine.h"

#include "Logging.h"
#include "synthesis/offline/BleepMixer.h"
#include "synthesis/offline/EspeakWorker.h"
#include "synthesis/offline/Mp3Encoder.h"
#include "synthesis/offline/OfflineRequest.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <atomic>
#include <cstring>
#include <mutex>

namespace parlino {

// Ties queued jobs to their engine: the worker posts results through it, and
// the engine's destructor cuts it, so that no result reaches a dead engine.
struct OfflineSpeechEngine::Link {
    std::mutex mutex;
    OfflineSpeechEngine *engine = nullptr; // not owned; null once the engine is gone
    std::atomic<bool> alive{true};

    // Runs the call on the engine's thread, unless the engine is gone.
    void post(std::function<void()> call) {
        std::lock_guard<std::mutex> lock(mutex);
        if (engine)
            QMetaObject::invokeMethod(engine, std::move(call), Qt::QueuedConnection);
    }
};

namespace {

// What a synthesis reports besides its audio, and how it is stopped early.
struct SpeakOptions {
    QList<OfflinePcm::Event> *events = nullptr; // not owned
    QString *phonemes = nullptr;
    const std::atomic<bool> *cancelled = nullptr; // not owned; true stops the synthesis
    std::function<void(const char *name, qint64 sample)> markObserver;
};

// Feeds eSpeak's audio through the bleep mixer into a destination.
class MixingSink : public SynthesisSink {
public:
    MixingSink(BleepMixer::Sink destination, int sampleRate, const std::atomic<bool> &alive)
        : m_mixer(std::move(destination), sampleRate)
        , m_alive(alive) {}

    bool samples(const qint16 *pcm, int count) override {
        m_mixer.write(pcm, count);
        return m_alive.load() && !(m_cancelled && m_cancelled->load());
    }
    // Silence before eSpeak's audio; eSpeak's sample offsets move along.
    void prependSilence(int ms, int sampleRate) {
        const qint64 total = qint64(ms) * sampleRate / 1000;
        const std::vector<qint16> zeros(std::size_t(sampleRate / 10), 0);
        for (qint64 done = 0; done < total;) {
            const int count = int(qMin<qint64>(qint64(zeros.size()), total - done));
            m_mixer.write(zeros.data(), count);
            done += count;
        }
        m_offset = total;
    }
    void mark(const char *name, qint64 sample) override {
        sample += m_offset;
        if (std::strcmp(name, EspeakSsmlTranslator::bleepOnMark()) == 0)
            m_mixer.startTone(sample);
        else if (std::strcmp(name, EspeakSsmlTranslator::bleepOffMark()) == 0)
            m_mixer.stopTone(sample);
        if (m_events)
            m_events->append({OfflinePcm::Event::Mark, sample, QString::fromUtf8(name)});
        if (m_markObserver)
            m_markObserver(name, sample);
    }
    void word(qint64 sample, int, int) override {
        if (m_events)
            m_events->append({OfflinePcm::Event::Word, sample + m_offset, QString()});
    }
    void finish() { m_mixer.finish(); }
    void observe(const SpeakOptions &options) {
        m_events = options.events;
        m_cancelled = options.cancelled;
        m_markObserver = options.markObserver;
    }

private:
    BleepMixer m_mixer;
    const std::atomic<bool> &m_alive;
    const std::atomic<bool> *m_cancelled = nullptr; // not owned
    std::function<void(const char *, qint64)> m_markObserver;
    QList<OfflinePcm::Event> *m_events = nullptr; // not owned
    qint64 m_offset = 0;
};

// Runs one synthesis on the worker thread into the destination, with the
// leading silence and the bleeps put in.
bool speak(const OfflineRequest &request, BleepMixer::Sink destination,
           const std::atomic<bool> &alive, QString *error,
           const SpeakOptions &options = SpeakOptions()) {
    EspeakWorker &worker = EspeakWorker::instance();
    if (!worker.ready(error))
        return false;
    MixingSink sink(std::move(destination), worker.sampleRate(), alive);
    sink.observe(options);
    sink.prependSilence(request.document.leadingSilenceMs, worker.sampleRate());
    const bool spoken = worker.synthesize(request, sink, error, options.phonemes);
    sink.finish();
    return spoken;
}

} // namespace

OfflineSpeechEngine::OfflineSpeechEngine(QObject *parent)
    : SpeechEngine(parent)
    , m_link(std::make_shared<Link>()) {
    m_link->engine = this;
}

OfflineSpeechEngine::~OfflineSpeechEngine() {
    std::lock_guard<std::mutex> lock(m_link->mutex);
    m_link->engine = nullptr;
    m_link->alive = false;
}

// Reports a failure found before any work, still after synthesize() returns.
void OfflineSpeechEngine::fail(const QString &error, std::function<void(const QString &)> report) {
    qCWarning(lcSynthesis, "offline: %s", qUtf8Printable(error));
    QMetaObject::invokeMethod(
        this, [report = std::move(report), error] { report(error); }, Qt::QueuedConnection);
}

void OfflineSpeechEngine::synthesize(const QJsonObject &request, Completion done) {
    synthesizeTimed(request,
                    [done = std::move(done)](const QByteArray &mp3, const QList<MarkTime> &, double,
                                             const SpeechError &error) { done(mp3, error); });
}

void OfflineSpeechEngine::synthesizeTimed(const QJsonObject &request, TimedCompletion done) {
    auto parsed = std::make_shared<OfflineRequest>();
    QString error;
    if (!OfflineRequest::fromJson(request, parsed.get(), &error)) {
        fail(error, [done](const QString &e) {
            done(QByteArray(), {}, -1.0, {SpeechError::Synthesis, e});
        });
        return;
    }
    EspeakWorker::instance().post([link = m_link, parsed, done] {
        if (!link->alive)
            return;
        QElapsedTimer timer;
        timer.start();
        QString error;
        QByteArray mp3;
        QList<MarkTime> marks;
        qint64 samples = 0;
        EspeakWorker &worker = EspeakWorker::instance();
        if (worker.ready(&error)) {
            const int rate = worker.sampleRate();
            Mp3Encoder encoder(rate);
            if (encoder.start(&error)) {
                SpeakOptions options;
                options.markObserver = [&marks, rate](const char *name, qint64 sample) {
                    marks.append({QString::fromUtf8(name), double(sample) / rate});
                };
                const bool spoken = speak(
                    *parsed,
                    [&encoder, &samples](const qint16 *pcm, int count) {
                        encoder.write(pcm, count);
                        samples += count;
                    },
                    link->alive, &error, options);
                QString encodeError;
                mp3 = encoder.finish(&encodeError);
                if (!spoken)
                    mp3.clear();
                else if (mp3.isEmpty())
                    error = encodeError;
            }
        }
        if (mp3.isEmpty() && link->alive)
            qCWarning(lcSynthesis, "offline: %s", qUtf8Printable(error));
        else if (!mp3.isEmpty())
            qCDebug(lcSynthesis, "offline: %lld bytes of MP3 in %lld ms", qlonglong(mp3.size()),
                    qlonglong(timer.elapsed()));
        const double seconds = double(samples) / worker.sampleRate();
        link->post([done, mp3, marks, seconds, error] {
            done(mp3, marks, seconds,
                 mp3.isEmpty() ? SpeechError{SpeechError::Synthesis, error} : SpeechError());
        });
    });
}

void OfflineSpeechEngine::synthesizePcm(const QJsonObject &request, PcmCompletion done) {
    auto parsed = std::make_shared<OfflineRequest>();
    QString error;
    if (!OfflineRequest::fromJson(request, parsed.get(), &error)) {
        fail(error, [done](const QString &e) { done(OfflinePcm(), e); });
        return;
    }
    EspeakWorker::instance().post([link = m_link, parsed, done] {
        if (!link->alive)
            return;
        auto pcm = std::make_shared<OfflinePcm>();
        pcm->ssml = parsed->document.ssml;
        QString error;
        const bool spoken = speak(
            *parsed,
            [&pcm](const qint16 *samples, int count) {
                const qsizetype at = pcm->samples.size();
                pcm->samples.resize(at + count);
                std::copy(samples, samples + count, pcm->samples.begin() + at);
            },
            link->alive, &error, SpeakOptions{&pcm->events, &pcm->phonemes, nullptr, {}});
        if (!spoken)
            pcm->samples.clear();
        pcm->sampleRate = EspeakWorker::instance().sampleRate();
        link->post([done, pcm, error] { done(*pcm, error); });
    });
}

} // namespace parlino

namespace parlino {

SpeechPreviewCancel OfflineSpeechEngine::preview(const QJsonObject &request,
                                                 SpeechPreviewHandlers handlers) {
    auto parsed = std::make_shared<OfflineRequest>();
    QString error;
    if (!OfflineRequest::fromJson(request, parsed.get(), &error)) {
        fail(error, [ended = handlers.ended](const QString &e) {
            ended({SpeechError::Synthesis, e});
        });
        return [] {};
    }
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    auto shared = std::make_shared<SpeechPreviewHandlers>(std::move(handlers));
    // Every delivery re-checks the flag on the engine's thread: a cancel there
    // lands between two deliveries, never inside one.
    auto deliver = [link = m_link, cancelled](std::function<void()> call) {
        link->post([cancelled, call = std::move(call)] {
            if (!cancelled->load())
                call();
        });
    };
    EspeakWorker::instance().post([link = m_link, parsed, shared, cancelled, deliver] {
        if (!link->alive || cancelled->load())
            return;
        EspeakWorker &worker = EspeakWorker::instance();
        QString error;
        if (!worker.ready(&error)) {
            deliver([shared, error] { shared->ended({SpeechError::Synthesis, error}); });
            return;
        }
        deliver([shared, rate = worker.sampleRate()] { shared->started(rate); });
        SpeakOptions options;
        options.cancelled = cancelled.get();
        options.markObserver = [&deliver, shared](const char *name, qint64 sample) {
            deliver(
                [shared, mark = QString::fromUtf8(name), sample] { shared->mark(mark, sample); });
        };
        const bool spoken = speak(
            *parsed,
            [&deliver, shared](const qint16 *pcm, int count) {
                QByteArray bytes(reinterpret_cast<const char *>(pcm), count * 2);
                deliver([shared, bytes] { shared->audio(bytes); });
            },
            link->alive, &error, options);
        const SpeechError result =
            spoken ? SpeechError() : SpeechError{SpeechError::Synthesis, error};
        deliver([shared, result] { shared->ended(result); });
    });
    return [cancelled] { cancelled->store(true); };
}

} // namespace parlino
