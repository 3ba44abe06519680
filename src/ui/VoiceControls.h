#pragma once

#include "catalogue/VoiceCatalogue.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QObject>

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

namespace parlino {

class EditorSession;
class LiveVoices;
class SegmentedControl;

// The controls that choose a voice, all owned by the main view.
struct VoiceWidgets {
    QComboBox *languages;
    QComboBox *voices;
    SegmentedControl *families;
    QLineEdit *search;
    QToolButton *favourite;
    QLabel *note; // what the voice ignores; a voice list that could not be refreshed
    QSlider *pitch;
    QSlider *speed;
};

// Wires the voice controls to the session's voice picker: gives it the
// catalogue of the engine in use, fills the pop-ups from it, reports the
// user's picks, searches and favourites, and remembers the choices. The service's voice list is
// asked for once the voice controls have first been painted, so it never delays the window.
// eSpeak's languages are read on the eSpeak thread a second later, or as soon as the user reaches
// for the language pop-up or the Find field: reading them opens eSpeak, which a window that has
// just appeared should not wait for or compete with.
class VoiceControls : public QObject {
    Q_OBJECT
public:
    VoiceControls(const VoiceWidgets &widgets, EditorSession *session,
                  SpeechEngineFactory::Kind engine, QObject *parent = nullptr);

    LiveVoices *liveVoices() const { return m_live; }
    // The chosen voice's name; empty when the language has none.
    QString selectedVoice() const;

    // A pick in the language pop-up (also of the language already chosen).
    void languagePicked();
    // A click on a family segment.
    void familyPicked(int index);
    void setEngine(SpeechEngineFactory::Kind engine);
    // Asks the service for its voice list now (Preferences: Refresh voices).
    void refreshVoices();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A refresh of the service's list has ended; error empty on success.
    void voiceListRefreshed(const QString &error);

private:
    void loadInBackground();
    void loadOfflineLanguages();
    void refreshLive(bool force);
    void liveRefreshEnded(const QString &error);
    void applyCatalogue();
    void fill();
    void fillVoices();
    void updateNote();
    void voicePicked();
    void searchChanged(const QString &text);
    void favouriteToggled(bool favourite);
    void remember() const;

    VoiceWidgets m_widgets;
    EditorSession *m_session;
    LiveVoices *m_live;
    VoiceCatalogue m_offline;
    SpeechEngineFactory::Kind m_engine;
    bool m_liveAsked = false;     // the first paint has scheduled the background loads
    bool m_liveRefreshed = false; // the service's list has been asked for
    bool m_offlineAsked = false;
    bool m_forced = false;
    QString m_pendingVoice; // remembered, but not in the catalogue at start-up
    QString m_listProblem;  // shown once, until a refresh succeeds
    bool m_listProblemShown = false;
};

} // namespace parlino
