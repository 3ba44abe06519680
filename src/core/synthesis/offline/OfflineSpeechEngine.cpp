#include "synthesis/offline/OfflineSpeechEngine.h"

#include "Logging.h"
#include "synthesis/offline/BleepMixer.h"
#include "synthesis/offline/EspeakWorker.h"
#include "synthesis/offline/LoudnessMeter.h"
#include "synthesis/offline/Mp3Encoder.h"
#include "synthesis/offline/OfflineRequest.h"
#include "synthesis/offline/PeakLimiter.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QRegularExpression>

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

// Feeds eSpeak's audio through the voice's gain and the limiter, then the
// bleep mixer (whose tone has a level of its own), into a destination.
class MixingSink : public SynthesisSink {
public:
    MixingSink(BleepMixer::Sink destination, int sampleRate, double gainDb,
               const std::atomic<bool> &alive)
        : m_mixer(std::move(destination), sampleRate)
        , m_limiter([this](const qint16 *pcm, int count) { m_mixer.write(pcm, count); }, sampleRate,
                    gainDb)
        , m_alive(alive) {}

    bool samples(const qint16 *pcm, int count) override {
        m_limiter.write(pcm, count);
        return m_alive.load();
    }
    // Silence before eSpeak's audio; eSpeak's sample offsets move along.
    void prependSilence(int ms, int sampleRate) {
        const qint64 total = qint64(ms) * sampleRate / 1000;
        const std::vector<qint16> zeros(std::size_t(sampleRate / 10), 0);
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
    }
    void word(qint64 sample, int, int) override {
        if (m_events)
            m_events->append({OfflinePcm::Event::Word, sample + m_offset, QString()});
    }
    void finish() {
        m_limiter.finish();
        m_mixer.finish();
    }
    void recordEvents(QList<OfflinePcm::Event> *events) { m_events = events; }

private:
    BleepMixer m_mixer;
    PeakLimiter m_limiter;
    const std::atomic<bool> &m_alive;
    QList<OfflinePcm::Event> *m_events = nullptr; // not owned
    qint64 m_offset = 0;
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

private:
    LoudnessMeter m_meter;
    qint64 m_left;
};

// The gain that brings the request to targetLoudness. eSpeak's voices and
// variants differ by up to 6 dB (the m8 variant is the quietest), and by how
// much depends on the sounds of the text; so the first seconds of the text
// itself are spoken once without their volume effects and measured, which
// keeps the voices of a language within a decibel or so while soft and loud
// passages stay softer and louder than the rest.
double requestGainDb(const OfflineRequest &request) {
    constexpr int measuredSeconds = 8;
    static const QRegularExpression volume(QStringLiteral(" volume=\"[^\"]*\""));
    OfflineRequest plain = request;
    plain.document.ssml.remove(volume);
    EspeakWorker &worker = EspeakWorker::instance();
    MeteringSink meter(worker.sampleRate(), qint64(worker.sampleRate()) * measuredSeconds);
    QString ignored; // a measurement cut short reports a stop
    worker.synthesize(plain, meter, &ignored);
    const double loudness = meter.loudness();
    const double gain = loudness > LoudnessMeter::silence
                            ? qBound(0.0, OfflineSpeechEngine::targetLoudness - loudness, 18.0)
                            : OfflineSpeechEngine::nominalGainDb;
    qCDebug(lcSynthesis, "offline: %s measures %.1f LUFS; gain %.1f dB",
            qUtf8Printable(request.voice.identifier()), loudness, gain);
    return gain;
}

// Runs one synthesis on the worker thread into the destination, with the
// leading silence and the bleeps put in, at the voice's level.
bool speak(const OfflineRequest &request, BleepMixer::Sink destination,
           const std::atomic<bool> &alive, QString *error,
           QList<OfflinePcm::Event> *events = nullptr, QString *phonemes = nullptr) {
    EspeakWorker &worker = EspeakWorker::instance();
    if (!worker.ready(error))
        return false;
    MixingSink sink(std::move(destination), worker.sampleRate(), requestGainDb(request), alive);
    sink.recordEvents(events);
    sink.prependSilence(request.document.leadingSilenceMs, worker.sampleRate());
    const bool spoken = worker.synthesize(request, sink, error, phonemes);
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
    auto parsed = std::make_shared<OfflineRequest>();
    QString error;
    if (!OfflineRequest::fromJson(request, parsed.get(), &error)) {
        fail(error, [done](const QString &e) { done(QByteArray(), {SpeechError::Synthesis, e}); });
        return;
    }
    EspeakWorker::instance().post([link = m_link, parsed, done] {
        if (!link->alive)
            return;
        QElapsedTimer timer;
        timer.start();
        QString error;
        QByteArray mp3;
        EspeakWorker &worker = EspeakWorker::instance();
        if (worker.ready(&error)) {
            Mp3Encoder encoder(worker.sampleRate());
            if (encoder.start(&error)) {
                const bool spoken = speak(
                    *parsed,
                    [&encoder](const qint16 *pcm, int count) { encoder.write(pcm, count); },
                    link->alive, &error);
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
        link->post([done, mp3, error] {
            done(mp3, mp3.isEmpty() ? SpeechError{SpeechError::Synthesis, error} : SpeechError());
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
            link->alive, &error, &pcm->events, &pcm->phonemes);
        if (!spoken)
            pcm->samples.clear();
        pcm->sampleRate = EspeakWorker::instance().sampleRate();
        link->post([done, pcm, error] { done(*pcm, error); });
    });
}

} // namespace parlino
