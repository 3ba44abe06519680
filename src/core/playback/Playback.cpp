#include "playback/Playback.h"

#include "Logging.h"
#include "synthesis/SpeechEngine.h"

#include <QJsonDocument>

#include <algorithm>

namespace parlino {

namespace {

// How often the spoken-word mark follows the sound.
constexpr int wordFollowMs = 20;

} // namespace

Playback::Playback(QObject *parent)
    : QObject(parent) {
    m_wordTimer.setInterval(wordFollowMs);
    connect(&m_wordTimer, &QTimer::timeout, this, &Playback::followWords);
    connect(&m_player, &AudioPlayer::firstAudioWritten, this, &Playback::firstAudioWritten);
    connect(&m_player, &AudioPlayer::finished, this, &Playback::playerFinished);
    connect(&m_player, &AudioPlayer::failed, this, &Playback::fail);
}

Playback::~Playback() {
    if (m_cancel)
        m_cancel();
}

void Playback::setEngine(SpeechEngine *engine) {
    m_engine = engine;
}

void Playback::play(const ConversionInput &input, qint64 offset) {
    stop();
    QString refusal = Conversion::refusal(input);
    if (refusal.isEmpty() && !m_engine)
        refusal = QStringLiteral("No speech engine is available.");
    if (!refusal.isEmpty()) {
        QTimer::singleShot(0, this, [this, refusal] { emit failed(refusal); });
        return;
    }
    const QJsonObject body = markedRequest(input, inputByteLimit(m_engine), &m_units);
    const QByteArray key = QByteArray(m_engine->metaObject()->className()) + '\n' +
                           QJsonDocument(body).toJson(QJsonDocument::Compact);
    m_offset = offset;
    m_word = -1;
    m_audio = SpokenAudio();
    setState(State::Playing);
    if (const SpokenAudio *heard = m_cache.find(key)) {
        qCDebug(lcSynthesis, "playback: %.1f s from the cache", heard->seconds());
        m_fromCache = true;
        const SpokenAudio copy = *heard;
        started(copy.sampleRate);
        if (m_state == State::Stopped)
            return;
        m_audio.words = copy.words;
        audioArrived(copy.pcm);
        m_player.endOfInput();
        return;
    }
    m_fromCache = false;
    startPreview(body, key);
}

void Playback::startPreview(const QJsonObject &body, const QByteArray &key) {
    SpeechPreviewHandlers handlers;
    QPointer<Playback> self(this);
    handlers.started = [self](int rate) {
        if (self)
            self->started(rate);
    };
    handlers.audio = [self](const QByteArray &pcm) {
        if (self)
            self->audioArrived(pcm);
    };
    handlers.mark = [self](const QString &name, qint64 sample) {
        if (self)
            self->markArrived(name, sample);
    };
    handlers.ended = [self, key](const SpeechError &error) {
        if (self)
            self->synthesisEnded(error, key);
    };
    m_cancel = m_engine->preview(body, std::move(handlers));
}

void Playback::started(int sampleRate) {
    QString error;
    m_audio.sampleRate = sampleRate;
    if (!m_player.open(sampleRate, &error)) {
        fail(error);
        return;
    }
    m_wordTimer.start();
}

void Playback::audioArrived(const QByteArray &pcm) {
    if (m_state == State::Stopped)
        return;
    m_audio.pcm.append(pcm);
    m_player.append(pcm);
}

void Playback::markArrived(const QString &name, qint64 sample) {
    const int index = markIndex(name);
    if (index < 0 || index >= m_units.size())
        return;
    const TimedWord word{m_units.at(index), sample};
    const auto at = std::upper_bound(m_audio.words.begin(), m_audio.words.end(), sample,
                                     [](qint64 s, const TimedWord &w) { return s < w.sample; });
    m_audio.words.insert(at, word);
}

void Playback::synthesisEnded(const SpeechError &error, const QByteArray &key) {
    m_cancel = nullptr;
    if (error.isError()) {
        fail(error.message);
        return;
    }
    if (m_state == State::Stopped)
        return;
    m_cache.insert(key, m_audio);
    m_player.endOfInput();
}

void Playback::togglePause() {
    if (m_state == State::Playing) {
        m_player.pause();
        setState(State::Paused);
    } else if (m_state == State::Paused) {
        m_player.resume();
        setState(State::Playing);
    }
}

void Playback::stop() {
    if (m_cancel) {
        m_cancel();
        m_cancel = nullptr;
    }
    m_wordTimer.stop();
    m_player.stop();
    setState(State::Stopped);
}

void Playback::fail(const QString &message) {
    qCWarning(lcSynthesis, "playback: %s", qUtf8Printable(message));
    stop();
    emit failed(message);
}

// Reports every word the sound has passed since the last look, so that short
// words between two looks are not skipped.
void Playback::followWords() {
    const qsizetype reached = m_audio.wordAt(m_player.playedSamples());
    while (m_word < reached) {
        const TimedWord &timed = m_audio.words.at(++m_word);
        emit wordStarted(m_offset + timed.range.location, timed.range.length,
                         double(timed.sample) / qMax(1, m_audio.sampleRate));
    }
}

void Playback::playerFinished() {
    followWords();
    m_wordTimer.stop();
    m_player.stop();
    setState(State::Stopped);
    emit finished();
}

void Playback::setState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

} // namespace parlino
