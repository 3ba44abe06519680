#pragma once

#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QPushButton;
class QWidget;

namespace parlino {

class Playback;
class SpeechEngine;
class SSMLTextView;

// The editor's Play/Stop button and keys (F5 plays the selection, or from the
// caret to the end, or stops; F6 pauses and resumes), and the mark on the
// word being spoken: an extra selection of the text view, so the document,
// its undo history and the effect highlights stay untouched.
class PlaybackController : public QObject {
    Q_OBJECT
public:
    using InputProvider = std::function<ConversionInput()>;
    using KindProvider = std::function<SpeechEngineFactory::Kind()>;
    using EngineProvider = std::function<std::unique_ptr<SpeechEngine>(
        SpeechEngineFactory::Kind kind, QString *error)>;

    // host receives the keys and shows the brief messages.
    PlaybackController(SSMLTextView *textView, QWidget *host, InputProvider input,
                       KindProvider kind);
    ~PlaybackController() override;

    QPushButton *playButton() const { return m_playButton; }
    Playback *playback() const { return m_playback.get(); }
    void setEngineProvider(EngineProvider provider);

    // F5.
    void playOrStop();
    // F6.
    void pauseOrResume();
    // Stops what plays and speaks an input that is not the editor's text
    // (a voice's sample sentence), so no word of the text view is marked.
    void playDetached(const ConversionInput &input);

private:
    bool prepareEngine();
    void stateChanged();
    void markWord(qint64 location, qint64 length);
    void clearMark();
    void scrollToMark(qint64 location);
    void failed(const QString &message);
    void textEdited(int position, int removed, int added);

    // An edit made while playing; later word positions move by it.
    struct Edit {
        qint64 position;
        qint64 removed;
        qint64 added;
    };

    SSMLTextView *m_textView;
    QWidget *m_host;
    QPushButton *m_playButton;
    InputProvider m_input;
    KindProvider m_kind;
    EngineProvider m_engineProvider;
    std::unique_ptr<SpeechEngine> m_engine;
    SpeechEngineFactory::Kind m_engineKind = SpeechEngineFactory::Kind::Offline;
    std::unique_ptr<Playback> m_playback;
    QList<Edit> m_edits;     // since Play, in order
    bool m_markWords = true; // false while a detached input plays
};

} // namespace parlino
