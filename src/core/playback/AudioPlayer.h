#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>

namespace parlino {

class AudioBackend;

// Plays 16-bit mono PCM on the default audio output (PulseAudio, or
// PipeWire's Pulse server) through Qt Multimedia's QAudioSink in push mode,
// fed as the PCM arrives. Destroying the player stops the sound.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    explicit AudioPlayer(QObject *parent = nullptr);
    ~AudioPlayer() override;

    // Opens the default output at this rate. False with "No audio output"
    // when there is no device or it cannot be opened.
    bool open(int sampleRate, QString *error);
    bool isOpen() const { return m_sink != nullptr; }

    void append(const QByteArray &pcm);
    // No more PCM will come: finished() follows once all of it has been heard.
    void endOfInput();

    void pause();
    void resume();
    bool isPaused() const { return m_paused; }
    // Stops at once, without finished().
    void stop();

    // Samples heard so far (what the device has played).
    qint64 playedSamples() const;

signals:
    // The first PCM has been handed to the audio device.
    void firstAudioWritten();
    void finished();
    void failed(const QString &message);

private:
    void feed();
    void checkEnd();

    std::unique_ptr<AudioBackend> m_sink;
    QTimer m_feedTimer;
    QByteArray m_pending;
    qsizetype m_pendingStart = 0; // bytes of m_pending already written
    qint64 m_written = 0;         // bytes handed to the device
    int m_sampleRate = 0;
    bool m_inputEnded = false;
    bool m_paused = false;
    bool m_finished = false;
};

} // namespace parlino
