#pragma once

#include "editing/EditorSession.h"
#include "editing/EffectKind.h"
#include "editing/SSMLCharactersModel.h"
#include "editing/SSMLTextViewDelegate.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QMessageBox>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

namespace parlino {

class FolderChooser;
class MBProgressHUD;
class OfflineNotes;
class PlaybackController;
class ParlinoDocument;
class SSMLTextView;
class SegmentedControl;
class SpanHighlighter;
class VoiceControls;

// The editor's main view: lays out the text view and the controls, shows what
// its EditorSession holds and forwards every gesture to it; alerts and the
// progress overlay are its own.
class ViewController : public QWidget, public SSMLTextViewDelegate {
    Q_OBJECT
public:
    static constexpr qint64 alertType = 1;

    using EngineProvider = EditorSession::EngineProvider;

    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    // Outlets.
    SSMLTextView *textView() const { return m_textView; }
    QComboBox *languagesPopBtn() const { return m_languagesPopBtn; }
    QComboBox *voicesStylePopBtn() const { return m_voicesStylePopBtn; }
    QSlider *pitchSlider() const { return m_pitchSlider; }
    QSlider *speedSlider() const { return m_speedSlider; }
    QLabel *charactersCount() const { return m_charactersCount; }
    QWidget *effectsView() const { return m_effectsView; }
    SegmentedControl *voicesStyleSegment() const { return m_voicesStyleSegment; }
    QComboBox *effectsSelector() const { return m_effectsSelector; }
    QComboBox *enginePopBtn() const { return m_enginePopBtn; }
    QPushButton *convertButton() const { return m_convertButton; }
    QPushButton *effectButton(const QString &effect) const;
    OfflineNotes *offlineNotes() const { return m_offlineNotes; }
    QLineEdit *voiceSearchField() const { return m_voiceSearchField; }
    QToolButton *favouriteButton() const { return m_favouriteButton; }
    QToolButton *hearButton() const { return m_hearButton; }
    QLabel *voiceNote() const { return m_voiceNote; }
    VoiceControls *voiceControls() const { return m_voiceControls; }

    EditorSession *session() const { return m_session; }
    PlaybackController *playbackController() const { return m_playbackController; }
    const EffectsArray &effectsArray() const { return m_session->effectsArray(); }
    const Catalogue &dataSource() const { return m_session->dataSource(); }
    const QStringList &googleDic() const { return m_session->googleDic(); }
    // The name of the voice chosen in the voice pop-up; empty when there is none.
    QString selectedVoice() const { return m_session->voice(); }
    QString ssmlString() const { return m_session->ssmlString(); }
    // "offline" or "cloud": the engine the user picked for Convert. Picking one
    // stores it as the engine setting; refreshEngineChoice() shows the setting.
    QString selectedEngine() const;
    void refreshEngineChoice();
    // The refusal alert while it is open, else nullptr.
    QMessageBox *openAlert() const { return m_alert; }
    // The notice above the text while the text is over the length limit;
    // nullptr until the limit is first crossed.
    QLabel *limitNotice() const { return m_limitNotice; }

    // Convert asks this chooser for the folder; by default a folder dialog.
    // Replace it only while no conversion runs.
    void setFolderChooser(std::unique_ptr<FolderChooser> chooser);
    FolderChooser *folderChooser() const { return m_session->folderChooser(); }
    // Convert makes its engine with this; by default SpeechEngineFactory::create().
    void setEngineProvider(EngineProvider provider);
    // From Convert until the file is written, the choice cancelled or a failure reported.
    bool isConverting() const { return m_session->isConverting(); }

    // The text, spans and voice settings as a document, and back. Loading
    // replaces the text without an edit report and clears the undo history.
    ParlinoDocument document() const;
    void loadDocument(const ParlinoDocument &document);

    // Actions.
    void voiceWithEffectsAction(int selectedIndex);
    void languagesPopBtnClick();
    void chooseVoicesStyleClick();
    void effectsItemAtButton(QAbstractButton *button);
    void convertBtnClick();
    // Starts the conversion of the text, its spans, the selected voice and the
    // sliders with the selected engine; returns at once.
    void googleTTSRequest();
    // The one-button warning: window-modal, returns at once. An alert with the
    // same message that is still open is not stacked by a second one.
    void showAlert(const QString &message, qint64 type);

    // Notification handlers.
    void setEffectsData(const QVariantMap &userInfo);
    void breakTimeValue(const QVariantMap &userInfo);
    void deleteEffects(const QVariantMap &userInfo);
    void setEffectsDataWithEffects(EffectKind::Id effect, const QString &ssmlTag);

    // The index of the span at the caret, or -1.
    qsizetype determineLocation() const;

    // Undo and redo of the text and its effects together.
    void undo();
    void redo();

    void returnDidChangeTextView(SSMLTextView *textView,
                                 const QList<std::pair<qint64, qint64>> &affectedRanges,
                                 const QStringList &replacementStrings,
                                 const QString &textViewString) override;

signals:
    // Convert started a conversion: ssml is the string to speak, engine as selectedEngine().
    void conversionRequested(const QString &ssml, const QString &engine);

private:
    void viewDidLoad();
    void buildLayout();
    void connectSession();
    QWidget *buildEffectsView();
    void followEngine();
    void spansChanged();
    void updateOfflineNotes();
    void conversionBusyChanged(bool busy);
    void conversionFailed(const SpeechError &error);
    void conversionSaved(const QString &path);
    // What Play speaks: the session's text, spans and voice settings.
    ConversionInput playbackInput() const;
    // Speaks the chosen voice's sample sentence with the sliders' settings.
    void hearVoice();
    SpeechEngineFactory::Kind selectedKind() const;
    void showLimitNotice(const QString &message);
    // The words and characters, and with the cloud engine the number of
    // requests the text takes when more than one, counted after a pause in
    // typing (until then the last count stands).
    void showStatistics();
    void countRequests();

    EditorSession *m_session;
    SSMLTextView *m_textView;
    QComboBox *m_languagesPopBtn;
    QComboBox *m_voicesStylePopBtn;
    SegmentedControl *m_voicesStyleSegment;
    QSlider *m_pitchSlider;
    QSlider *m_speedSlider;
    QLabel *m_charactersCount;
    QLabel *m_limitNotice = nullptr;
    QTimer *m_requestCounter;
    QString m_requestsNote; // " · 3 requests", or empty
    QWidget *m_effectsView = nullptr;
    QComboBox *m_effectsSelector;
    QComboBox *m_enginePopBtn;
    QPushButton *m_convertButton;
    OfflineNotes *m_offlineNotes;
    QLineEdit *m_voiceSearchField;
    QToolButton *m_favouriteButton;
    QToolButton *m_hearButton;
    QLabel *m_voiceNote;
    VoiceControls *m_voiceControls = nullptr;
    PlaybackController *m_playbackController;
    QList<QPushButton *> m_effectButtons;
    std::unique_ptr<SpanHighlighter> m_highlighter;
    QPointer<QMessageBox> m_alert;
    QPointer<MBProgressHUD> m_loadingHud;
};

} // namespace parlino
