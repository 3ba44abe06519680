#pragma once

#include "catalogue/DataSource.h"
#include "editing/SSMLCharactersModel.h"
#include "editing/SSMLTextViewDelegate.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QMessageBox>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace parlino {

class Conversion;
class FolderChooser;
class MBProgressHUD;
class PlaybackController;
class OfflineNotes;
class ParlinoDocument;
class SSMLTextView;
class SegmentedControl;
class SpanHighlighter;
class SpeechEngine;

// The editor's hub: owns the text view, the controls, the span list and the
// assembled SSML. Every operation is a thin call into the core with the
// current text, selection and spans, followed by an update of the widgets.
class ViewController : public QWidget, public SSMLTextViewDelegate {
    Q_OBJECT
public:
    static constexpr qint64 alertType = 1;

    // Makes the engine for one conversion, or nothing with a reason for the user.
    using EngineProvider = std::function<std::unique_ptr<SpeechEngine>(
        SpeechEngineFactory::Kind kind, QString *error)>;

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
    PlaybackController *playbackController() const { return m_playbackController; }
    QPushButton *effectButton(const QString &effect) const;
    OfflineNotes *offlineNotes() const { return m_offlineNotes; }

    const EffectsArray &effectsArray() const { return m_effectsArray; }
    const Catalogue &dataSource() const { return m_dataSource; }
    const QStringList &googleDic() const { return m_googleDic; }
    QString ssmlString() const { return m_ssmlString; }
    // "offline" or "cloud": the engine the user picked for Convert. Picking one
    // stores it as the engine setting; refreshEngineChoice() shows the setting.
    QString selectedEngine() const;
    void refreshEngineChoice();
    // The limit or refusal alert while it is open, else nullptr.
    QMessageBox *openAlert() const { return m_alert; }

    // Convert asks this chooser for the folder; by default a folder dialog.
    // Replace it only while no conversion runs.
    void setFolderChooser(std::unique_ptr<FolderChooser> chooser);
    FolderChooser *folderChooser() const { return m_folderChooser.get(); }
    // Convert makes its engine with this; by default SpeechEngineFactory::create().
    void setEngineProvider(EngineProvider provider);
    // From Convert until the file is written, the choice cancelled or a failure reported.
    bool isConverting() const { return m_converting; }

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
    void setEffectsDataWithEffects(const QString &effect, const QColor &tagColor,
                                   const QString &ssmlTag);

    // The index of the span at the caret, or -1.
    qsizetype determineLocation() const;

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
    QWidget *buildEffectsView();
    void fillVoices();
    void spansChanged();
    void updateOfflineNotes();
    void setConverting(bool converting);
    ConversionInput conversionInput() const;
    SpeechEngineFactory::Kind selectedKind() const;
    void conversionBusyChanged(bool busy);
    void conversionFailed(const QString &message);
    void conversionSaved(const QString &path);

    SSMLTextView *m_textView;
    QComboBox *m_languagesPopBtn;
    QComboBox *m_voicesStylePopBtn;
    SegmentedControl *m_voicesStyleSegment;
    QSlider *m_pitchSlider;
    QSlider *m_speedSlider;
    QLabel *m_charactersCount;
    QWidget *m_effectsView = nullptr;
    QComboBox *m_effectsSelector;
    QComboBox *m_enginePopBtn;
    QPushButton *m_convertButton;
    OfflineNotes *m_offlineNotes;
    QList<QPushButton *> m_effectButtons;
    SpanHighlighter *m_highlighter = nullptr;
    QPointer<QMessageBox> m_alert;

    Conversion *m_conversion;
    PlaybackController *m_playbackController;
    std::unique_ptr<SpeechEngine> m_engine; // of the last conversion; replaced by the next
    std::unique_ptr<FolderChooser> m_folderChooser;
    QPointer<MBProgressHUD> m_loadingHud;
    EngineProvider m_engineProvider;
    bool m_converting = false;

    Catalogue m_dataSource;
    QStringList m_googleDic;
    QString m_ssmlString;
    EffectsArray m_effectsArray;
};

} // namespace parlino
