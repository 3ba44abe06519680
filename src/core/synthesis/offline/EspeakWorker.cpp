#include "synthesis/offline/EspeakWorker.h"

#include "EspeakLibrary.h"
#include "Logging.h"
#include "synthesis/offline/OfflineRequest.h"

#include <espeak-ng/speak_lib.h>

#include <cstdio>
#include <cstdlib>

namespace parlino {

SynthesisSink::~SynthesisSink() = default;

// eSpeak's callback is a plain function; it forwards to the worker.
struct EspeakCallback {
    static int call(short *wav, int count, espeak_EVENT *events) {
        return EspeakWorker::instance().deliver(wav, count, events);
    }
};

namespace {

// Length of each buffer eSpeak hands over, in milliseconds.
constexpr int bufferMs = 100;

// Collects eSpeak's phoneme trace in memory for the length of one synthesis.
class PhonemeTrace {
public:
    explicit PhonemeTrace(QString *out)
        : m_out(out) {
        if (!m_out)
            return;
        m_stream = open_memstream(&m_data, &m_size);
        if (m_stream)
            espeak_SetPhonemeTrace(espeakPHONEMES_SHOW, m_stream);
    }
    ~PhonemeTrace() {
        if (!m_stream)
            return;
        espeak_SetPhonemeTrace(0, nullptr);
        std::fclose(m_stream);
        *m_out = QString::fromUtf8(m_data, qsizetype(m_size));
        std::free(m_data);
    }
    PhonemeTrace(const PhonemeTrace &) = delete;
    PhonemeTrace &operator=(const PhonemeTrace &) = delete;

private:
    QString *m_out;
    FILE *m_stream = nullptr;
    char *m_data = nullptr;
    size_t m_size = 0;
};

} // namespace

EspeakWorker &EspeakWorker::instance() {
    static EspeakWorker worker;
    return worker;
}

EspeakWorker::EspeakWorker() {
    m_thread = std::thread([this] { run(); });
    m_threadId = m_thread.get_id();
}

// At exit: the job in progress is stopped at its next buffer, queued jobs are
// dropped. eSpeak is left initialised: the process is ending anyway, and
// terminating is where eSpeak's synchronous mode has been seen to hang.
EspeakWorker::~EspeakWorker() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void EspeakWorker::post(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return;
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void EspeakWorker::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
            if (m_stopping)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

bool EspeakWorker::ready(QString *error) {
    Q_ASSERT(std::this_thread::get_id() == m_threadId);
    if (!m_initialised) {
        m_initialised = true;
        // Without DONT_EXIT a missing voice data folder ends the whole process.
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, bufferMs, nullptr,
                                           espeakINITIALIZE_DONT_EXIT);
        if (rate <= 0 && !espeakLibraryError().isEmpty()) {
            m_initError = QStringLiteral("The offline voice could not start: eSpeak NG is not "
                                         "installed (%1).")
                              .arg(espeakLibraryError());
        } else if (rate <= 0) {
            m_initError = QStringLiteral("The offline voice could not start: eSpeak NG found no "
                                         "voice data (ESPEAK_DATA_PATH names the folder that "
                                         "holds espeak-ng-data).");
        } else {
            m_sampleRate = rate;
            espeak_SetSynthCallback(&EspeakCallback::call);
            qCDebug(lcSynthesis, "offline: eSpeak NG ready, %d Hz", rate);
        }
    }
    if (!m_initError.isEmpty()) {
        *error = m_initError;
        return false;
    }
    return true;
}

bool EspeakWorker::selectVoice(const OfflineRequest &request, QString *error) {
    const QByteArray name = request.voice.identifier().toUtf8();
    if (espeak_SetVoiceByName(name.constData()) != EE_OK) {
        const QByteArray plain = request.voice.espeakName.toUtf8();
        if (espeak_SetVoiceByName(plain.constData()) != EE_OK) {
            *error = QStringLiteral("The offline voice \"%1\" is not installed.")
                         .arg(request.voice.espeakName);
            return false;
        }
        qCInfo(lcSynthesis, "offline: voice variant %s missing, %s used", name.constData(),
               plain.constData());
    }
    // Choosing a voice resets the parameters, so they are set after it.
    espeak_SetParameter(espeakRATE, request.espeakRate, 0);
    espeak_SetParameter(espeakPITCH, request.espeakPitch, 0);
    espeak_SetParameter(espeakRANGE, 50, 0);
    // Half of eSpeak's normal level: its loudest volume then stays below
    // full scale, where eSpeak itself would clip; the engine's gain and
    // limiter bring the level back up.
    espeak_SetParameter(espeakVOLUME, 50, 0);
    return true;
}

bool EspeakWorker::synthesize(const OfflineRequest &request, SynthesisSink &sink, QString *error,
                              QString *phonemes) {
    Q_ASSERT(std::this_thread::get_id() == m_threadId);
    if (!ready(error) || !selectVoice(request, error))
        return false;

    const QByteArray text = request.document.ssml.toUtf8();
    m_sink = &sink;
    m_samplesDelivered = 0;
    m_aborted = false;
    espeak_ERROR result = EE_OK;
    {
        PhonemeTrace trace(phonemes);
        result = espeak_Synth(text.constData(), std::size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                              espeakCHARS_UTF8 | espeakSSML, nullptr, nullptr);
        espeak_Synchronize();
    }
    m_sink = nullptr;
    if (result != EE_OK) {
        *error = QStringLiteral("The offline voice could not read the text (eSpeak NG error %1).")
                     .arg(int(result));
        return false;
    }
    if (m_aborted) {
        *error = QStringLiteral("The offline conversion was stopped.");
        return false;
    }
    return true;
}

int EspeakWorker::deliver(short *wav, int count, const void *eventList) {
    if (!m_sink || m_aborted)
        return 1;
    for (auto *event = static_cast<const espeak_EVENT *>(eventList);
         event && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type == espeakEVENT_MARK && event->id.name)
            m_sink->mark(event->id.name, event->sample);
        else if (event->type == espeakEVENT_WORD)
            m_sink->word(event->sample, event->text_position, event->length);
    }
    bool keepGoing = true;
    if (wav && count > 0) {
        m_samplesDelivered += count;
        keepGoing = m_sink->samples(wav, count);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        keepGoing = keepGoing && !m_stopping;
    }
    if (!keepGoing)
        m_aborted = true;
    return keepGoing ? 0 : 1;
}

} // namespace parlino
