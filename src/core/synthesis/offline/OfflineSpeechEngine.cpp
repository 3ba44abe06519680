#include "synthesis/offline/OfflineSpeechEngine.h"

#include "Logging.h"
#include "synthesis/offline/BleepMixer.h"
#include "synthesis/offline/EspeakWorker.h"
#include "synthesis/offline/GainMemory.h"
#include "synthesis/offline/LoudnessMeter.h"
#include "synthesis/offline/Mp3Encoder.h"
#include "synthesis/offline/OfflineRequest.h"
#include "synthesis/offline/PeakLimiter.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QRegularExpression>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

namespace parlino {

// Ties queued jobs to their engine: the worker posts results through it, and
// the engine's destructor cuts it, so that no result reaches a dead engine.
struct OfflineSpeechEngine::Link {
    std::mutex mutex;
    OfflineSpeechEngine *engine = nullptr; // not owned; null once the engine is gone
    std::atomic<bool> alive{true};
    GainMemory gains; // worker thread only

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

// The seconds of speech at the start of a request whose loudness sets its gain.
constexpr int measuredSeconds = 8;

// The gain that brings speech of a measured loudness to targetLoudness, or
// back to eSpeak's own level when too little speech was heard.
double gainFor(double loudness) {
    return loudness > LoudnessMeter::silence
               ? qBound(0.0, OfflineSpeechEngine::targetLoudness - loudness, 18.0)
               : OfflineSpeechEngine::nominalGainDb;
}

// Feeds eSpeak's audio through the voice's gain and the limiter, then the
// bleep mixer (whose tone has a level of its own), into a destination. When
// asked to measure, it holds back eSpeak's first measuredSeconds and passes
// everything on at the gain they ask for.
class MixingSink : public SynthesisSink {
public:
    // Called once the measured gain is known; whole: the speech lasted the
    // whole measured stretch.
    using Measured = std::function<void(double gainDb, bool whole)>;

    MixingSink(BleepMixer::Sink destination, int sampleRate, const std::atomic<bool> &alive)
        : m_mixer(std::move(destination), sampleRate)
        , m_limiter([this](const qint16 *pcm, int count) { m_mixer.write(pcm, count); }, sampleRate,
                    0.0)
        , m_sampleRate(sampleRate)
        , m_alive(alive) {}

    void setGain(double gainDb) { m_limiter.setGain(gainDb); }
    void measureFirst(Measured measured) {
        m_meter = std::make_unique<LoudnessMeter>(m_sampleRate);
        m_measured = std::move(measured);
    }

    bool samples(const qint16 *pcm, int count) override {
        if (m_meter) {
            m_meter->add(pcm, count);
            m_start.insert(m_start.end(), pcm, pcm + count);
            if (m_start.size() >= std::size_t(m_sampleRate) * measuredSeconds)
                settle();
        } else {
            m_limiter.write(pcm, count);
        }
        return m_alive.load() && !(m_cancelled && m_cancelled->load());
    }
    // Silence before eSpeak's audio; eSpeak's sample offsets move along.
    void prependSilence(int ms) {
        const qint64 total = qint64(ms) * m_sampleRate / 1000;
        const std::vector<qint16> zeros(std::size_t(m_sampleRate / 10), 0);
        for (qint64 done = 0; done < total;) {
            const int count = int(qMin<qint64>(qint64(zeros.size()), total - done));
            m_limiter.write(zeros.data(), count);
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
    void finish() {
        if (m_meter)
            settle();
        m_limiter.finish();
        m_mixer.finish();
    }
    void observe(const SpeakOptions &options) {
        m_events = options.events;
        m_cancelled = options.cancelled;
        m_markObserver = options.markObserver;
    }

private:
    // Sets the gain from the measured start and passes the start on.
    void settle() {
        const double gain = gainFor(m_meter->integratedLoudness());
        m_measured(gain, m_start.size() >= std::size_t(m_sampleRate) * measuredSeconds);
        m_meter.reset();
        m_limiter.setGain(gain);
        m_limiter.write(m_start.data(), int(m_start.size()));
        m_start = std::vector<qint16>();
    }

    BleepMixer m_mixer;
    PeakLimiter m_limiter;
    int m_sampleRate;
    const std::atomic<bool> &m_alive;
    const std::atomic<bool> *m_cancelled = nullptr; // not owned
    std::function<void(const char *, qint64)> m_markObserver;
    QList<OfflinePcm::Event> *m_events = nullptr; // not owned
    qint64 m_offset = 0;
    std::unique_ptr<LoudnessMeter> m_meter; // while the start is measured
    std::vector<qint16> m_start;            // the start held back meanwhile
    Measured m_measured;
};

// Measures the loudness of what eSpeak produces, up to a length.
class MeteringSink : public SynthesisSink {
public:
    MeteringSink(int sampleRate, qint64 limit)
        : m_meter(sampleRate)
        , m_left(limit) {}
    bool samples(const qint16 *pcm, int count) override {
        m_meter.add(pcm, count);
        m_left -= count;
        return m_left > 0;
    }
    double loudness() const { return m_meter.integratedLoudness(); }
    // The synthesis lasted the whole length.
    bool filled() const { return m_left <= 0; }

private:
    LoudnessMeter m_meter;
    qint64 m_left;
};

// Measures a request's loudness on its start spoken without its volume
// effects, so that soft and loud passages stay softer and louder than the rest.
double measuredGainDb(const OfflineRequest &request, const QString &key, GainMemory &memory) {
    static const QRegularExpression volume(QStringLiteral(" volume=\"[^\"]*\""));
    OfflineRequest plain = request;
    plain.document.ssml.remove(volume);
    EspeakWorker &worker = EspeakWorker::instance();
    MeteringSink meter(worker.sampleRate(), qint64(worker.sampleRate()) * measuredSeconds);
    QString ignored; // a measurement cut short reports a stop
    worker.synthesize(plain, meter, &ignored);
    const double gain = gainFor(meter.loudness());
    if (meter.filled())
        memory.remember(key, gain);
    return gain;
}

// Sets the sink's gain, which brings the request to targetLoudness. eSpeak's
// voices and variants differ by up to 6 dB (the m8 variant is the quietest),
// and by how much depends on the sounds of the text; so the first seconds of
// the text itself are measured, which keeps the voices of a language within a
// decibel or so. They are measured on the way when the text has no volume
// effects, and otherwise spoken once without them first. A gain measured on
// the whole stretch is remembered for the requests that follow with the same
// voice, pitch and rate, which then share that level.
void setGain(MixingSink &sink, const OfflineRequest &request, GainMemory &memory) {
    const QString key = GainMemory::keyOf(request);
    const QString voice = request.voice.identifier();
    if (const std::optional<double> known = memory.recall(key)) {
        sink.setGain(*known);
    } else if (request.document.ssml.contains(QLatin1String(" volume=\""))) {
        const double gain = measuredGainDb(request, key, memory);
        qCDebug(lcSynthesis, "offline: %s measured apart; gain %.1f dB", qUtf8Printable(voice),
                gain);
        sink.setGain(gain);
    } else {
        sink.measureFirst([&memory, key, voice](double gain, bool whole) {
            if (whole)
                memory.remember(key, gain);
            qCDebug(lcSynthesis, "offline: %s measured; gain %.1f dB", qUtf8Printable(voice), gain);
        });
    }
}

// Runs one synthesis on the worker thread into the destination, with the
// leading silence and the bleeps put in, at the voice's level.
bool speak(const OfflineRequest &request, GainMemory &gains, BleepMixer::Sink destination,
           const std::atomic<bool> &alive, QString *error,
           const SpeakOptions &options = SpeakOptions()) {
    EspeakWorker &worker = EspeakWorker::instance();
    if (!worker.ready(error))
        return false;
    MixingSink sink(std::move(destination), worker.sampleRate(), alive);
    sink.observe(options);
    setGain(sink, request, gains);
    sink.prependSilence(request.document.leadingSilenceMs);
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
        const auto report = [link, done](const QByteArray &mp3, const QList<MarkTime> &marks,
                                         double seconds, const QString &error) {
            if (mp3.isEmpty() && link->alive)
                qCWarning(lcSynthesis, "offline: %s", qUtf8Printable(error));
            link->post([done, mp3, marks, seconds, error] {
                done(mp3, marks, seconds,
                     mp3.isEmpty() ? SpeechError{SpeechError::Synthesis, error} : SpeechError());
            });
        };
        QString error;
        EspeakWorker &worker = EspeakWorker::instance();
        const int rate = worker.ready(&error) ? worker.sampleRate() : 0;
        Mp3Encoder encoder(rate);
        if (rate == 0 || !encoder.start(&error)) {
            report({}, {}, -1.0, error);
            return;
        }
        QList<MarkTime> marks;
        qint64 samples = 0;
        SpeakOptions options;
        options.markObserver = [&marks, rate](const char *name, qint64 sample) {
            marks.append({QString::fromUtf8(name), double(sample) / rate});
        };
        const bool spoken = speak(
            *parsed, link->gains,
            [&encoder, &samples](const qint16 *pcm, int count) {
                encoder.write(pcm, count);
                samples += count;
            },
            link->alive, &error, options);
        if (!spoken) {
            report({}, {}, -1.0, error); // the encoder drops what it holds
            return;
        }
        // The encoding ends on the encoder's thread while the next request
        // is synthesised here.
        encoder.finish([report, timer, marks, seconds = double(samples) / rate](
                           const QByteArray &mp3, const QString &error) {
            if (!mp3.isEmpty())
                qCDebug(lcSynthesis, "offline: %lld bytes of MP3 in %lld ms", qlonglong(mp3.size()),
                        qlonglong(timer.elapsed()));
            report(mp3, marks, seconds, error);
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
            *parsed, link->gains,
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
            *parsed, link->gains,
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
