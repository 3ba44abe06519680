#pragma once

#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace parlino {

struct OfflineRequest;

// Receives what eSpeak produces for one synthesis, on the worker thread.
class SynthesisSink {
public:
    virtual ~SynthesisSink();
    // A buffer of 16-bit mono PCM; return false to stop the synthesis.
    virtual bool samples(const qint16 *pcm, int count) = 0;
    // Events come before the samples of the buffer they fall in. Offsets
    // count samples from the start of the synthesis; textPosition counts
    // characters of the eSpeak document from 1.
    virtual void mark(const char *name, qint64 sample) {
        Q_UNUSED(name);
        Q_UNUSED(sample);
    }
    virtual void word(qint64 sample, int textPosition, int length) {
        Q_UNUSED(sample);
        Q_UNUSED(textPosition);
        Q_UNUSED(length);
    }
};

// The one thread that uses libespeak-ng. The library has global state: two
// syntheses at once corrupt memory, and terminating and initialising it again
// can deadlock, so it is initialised once, on this thread, and every
// synthesis of the process runs here, one after another, in the order posted.
class EspeakWorker {
public:
    static EspeakWorker &instance();

    // Runs the job on the worker thread after the jobs posted before it.
    void post(std::function<void()> job);

    // On the worker thread only: synthesises the request into the sink.
    // Returns false with a message for the user when eSpeak cannot speak it.
    // When phonemes is given it receives eSpeak's phoneme transcription.
    bool synthesize(const OfflineRequest &request, SynthesisSink &sink, QString *error,
                    QString *phonemes = nullptr);

    // On the worker thread only: initialises eSpeak on first use. False, with
    // a message for the user, when eSpeak cannot start.
    bool ready(QString *error);
    // The rate of eSpeak's PCM, known once ready() has succeeded.
    int sampleRate() const { return m_sampleRate; }

    EspeakWorker(const EspeakWorker &) = delete;
    EspeakWorker &operator=(const EspeakWorker &) = delete;

private:
    EspeakWorker();
    ~EspeakWorker();

    void run();
    bool selectVoice(const OfflineRequest &request, QString *error);
    int deliver(short *wav, int count, const void *events);
    friend struct EspeakCallback;

    std::thread m_thread;
    std::thread::id m_threadId;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;

    // Worker thread only.
    bool m_initialised = false;
    QString m_initError;
    int m_sampleRate = 22050;
    SynthesisSink *m_sink = nullptr;
    qint64 m_samplesDelivered = 0;
    bool m_aborted = false;
};

} // namespace parlino
