#pragma once

#include "playback/AudioPlayer.h"
#include "playback/PlaybackCache.h"
#include "playback/SpokenAudio.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechPreview.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace parlino {

class SpeechEngine;

// Plays a stretch of the text as Convert would speak it (same effects, voice,
// pitch, speed and engine), reporting each word as the voice reaches it.
// Sound starts with the first PCM the engine delivers; what was heard is
// kept in a cache, so an unchanged stretch replays without synthesis.
class Playback : public QObject {
    Q_OBJECT
public:
    enum class State { Stopped, Playing, Paused };

    explicit Playback(QObject *parent = nullptr);
    ~Playback() override;

    // The engine is not owned.
    void setEngine(SpeechEngine *engine);

    // Starts playing the input; offset is where its text begins in the
    // editor, added to every reported word. A refused input fails at once.
    void play(const ConversionInput &input, qint64 offset = 0);
    void togglePause();
    void stop();

    State state() const { return m_state; }
    PlaybackCache &cache() { return m_cache; }
    // True when the current sound came from the cache.
    bool playsFromCache() const { return m_fromCache; }

signals:
    void stateChanged(parlino::Playback::State state);
    // location and length in the editor's text (UTF-16); seconds from the
    // stretch's start.
    void wordStarted(qint64 location, qint64 length, double seconds);
    void firstAudioWritten();
    void failed(const QString &message);
    void finished();

private:
    void setState(State state);
    void startPreview(const QJsonObject &request, const QByteArray &key);
    void started(int sampleRate);
    void audioArrived(const QByteArray &pcm);
    void markArrived(const QString &name, qint64 sample);
    void synthesisEnded(const SpeechError &error, const QByteArray &key);
    void fail(const QString &message);
    void followWords();
    void playerFinished();

    QPointer<SpeechEngine> m_engine;
    AudioPlayer m_player;
    PlaybackCache m_cache;
    SpeechPreviewCancel m_cancel;
    SpokenAudio m_audio;      // what is playing, growing while it is synthesised
    QList<TextRange> m_units; // the marks' ranges in the stretch
    qint64 m_offset = 0;
    qsizetype m_word = -1; // last word reported
    QTimer m_wordTimer;
    State m_state = State::Stopped;
    bool m_fromCache = false;
};

} // namespace parlino
