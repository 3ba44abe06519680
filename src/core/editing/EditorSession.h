#pragma once

#include "catalogue/DataSource.h"
#include "catalogue/VoicePicker.h"
#include "editing/EditHistory.h"
#include "editing/EffectKind.h"
#include "editing/SSMLCharactersModel.h"
#include "editing/TextEdit.h"
#include "synthesis/SpeechEngineFactory.h"
#include "synthesis/SpeechError.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace parlino {

class Conversion;
struct ConversionProgress;
class FolderChooser;
struct ParlinoDocument;
class SpeechEngine;

// The editor's state and operations without a window: the text as the view
// last reported it, the span list, the catalogue choice (language and voice),
// pitch and speed, and the conversion in progress. The view shows what the
// signals say and reports the user's gestures through the operations. All
// offsets are UTF-16 code units.
class EditorSession : public QObject {
    Q_OBJECT
public:
    // Makes the engine for one conversion, or nothing with a reason for the user.
    using EngineProvider = std::function<std::unique_ptr<SpeechEngine>(
        SpeechEngineFactory::Kind kind, QString *error)>;

    static QString lengthLimitMessage() { return QStringLiteral("The length cannot exceed 5000"); }
    static QString emptyTextMessage() { return QStringLiteral("Text not empty!"); }
    static QString busyMessage() { return QStringLiteral("A conversion is already running."); }

    explicit EditorSession(QObject *parent = nullptr);
    ~EditorSession() override;

    const QString &text() const { return m_text; }
    const EffectsArray &effectsArray() const { return m_effectsArray; }
    const Catalogue &dataSource() const { return m_dataSource; }
    // The catalogue's languages in the order of the language pop-up.
    const QStringList &languages() const { return m_languages; }
    const QString &language() const { return m_language; }
    // The voices of the current language, sorted; empty for a language without voices.
    const QStringList &googleDic() const { return m_googleDic; }
    const QString &voice() const { return m_voice; }
    int pitch() const { return m_pitch; }
    int speed() const { return m_speed; }
    const QString &statistics() const { return m_statistics; }
    // The text of the last conversion as it was sent: SSML, or the plain text
    // when it had no spans.
    const QString &ssmlString() const { return m_ssmlString; }

    // Choosing a language (also the current one again) lists its voices and
    // selects the first.
    void setLanguage(const QString &language);
    void setVoice(const QString &voice);

    // What the language and voice pop-ups offer: the catalogue of the engine
    // in use, the family filter, the search and the favourites.
    const VoicePicker &picker() const { return m_picker; }
    // Another catalogue (engine changed, the service's list arrived); the
    // language and voice stay where the new one has them.
    void setCatalogue(const VoiceCatalogue &catalogue);
    void pickFamily(const QString &family);
    // False, with nothing changed, when no language or voice matches.
    bool searchVoices(const QString &query);
    void setFavourites(const QSet<QString> &favourites);
    void setFavourite(const QString &voice, bool favourite);
    // A remembered choice: the voice when the catalogue has it, else the
    // language; false when it knows neither.
    bool restoreChoice(const QString &language, const QString &voice);
    void setPitch(int pitch);
    void setSpeed(int speed);

    // Applies an effect of the kind with this value over the selection; with
    // a caret inside a span of that kind, changes that span's value. One undo step.
    void applyEffect(EffectKind::Id kind, qint64 selectionStart, qint64 selectionLength,
                     const QString &value);
    // The value of the span a popover of this kind opened on the selection
    // edits (see EffectApplier::spanAt), or nothing.
    std::optional<QString> currentValue(EffectKind::Id kind, qint64 selectionStart,
                                        qint64 selectionLength) const;
    // Whether the selection stands on a pause (its glyph selected, or the caret
    // right after it): Break then edits that pause instead of adding one.
    bool hasPauseAt(qint64 selectionStart, qint64 selectionLength) const;
    // The pause rule: whether the Break button puts a pause glyph at the caret.
    bool pauseGoesIn(qint64 caret) const;
    // After the Break button: adds the pause span at caret when its glyph went
    // in (the glyph's edit has been tracked already, and the pause joins its
    // undo step), then keeps the list sorted.
    void placePause(qint64 caret, bool glyphInserted);
    // Sets the length of the pause at the selection: a whole number of seconds,
    // or a length as readPauseLength() reads it in the C locale. Anything else
    // is refused (false) and changes nothing. One undo step.
    bool setPauseValue(qint64 selectionStart, qint64 selectionLength, const QVariant &value);
    // Removes the span at the caret, if any. One undo step.
    void deleteEffectAt(qint64 caret);
    // The index of the span at the caret, or -1.
    qsizetype determineLocation(qint64 caret) const;

    // Follows an edit of the text: the spans keep their characters, the
    // statistics are recounted and the limit alert is requested when the count
    // crosses the limit. The edit is an undo step; typed keys in a row join one.
    void trackEdit(const TextEdit &edit, const QString &newText, bool typed = false);

    // Undo and redo restore the text and the span list of before and after a
    // step; the text change goes out through textReplaced().
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();
    // Changed since the last load or save: text, spans or voice settings.
    bool isModified() const { return !m_history.isClean() || m_settingsChanged; }
    void markSaved();

    // The text, spans and voice settings as a document, and back.
    ParlinoDocument document() const;
    void loadDocument(const ParlinoDocument &document);

    // Convert asks this chooser for the folder. Replaced only while no conversion runs.
    void setFolderChooser(std::unique_ptr<FolderChooser> chooser);
    FolderChooser *folderChooser() const { return m_folderChooser.get(); }
    // Convert makes its engine with this; by default SpeechEngineFactory::create().
    void setEngineProvider(EngineProvider provider);
    // From Convert until the file is written, the choice cancelled or a failure reported.
    bool isConverting() const { return m_converting; }

    // Convert: refuses an empty text or a second conversion, then starts one.
    void convert(const QString &engine);
    // Assembles the text with its spans once and starts its conversion with
    // the voice, pitch and speed and the engine of that name; returns at once.
    void startConversion(const QString &engine);
    // Stops the running conversion: nothing is written and nothing is said.
    void cancelConversion();

signals:
    void spansChanged();
    void statisticsChanged(const QString &statistics);
    void voicesChanged(const QStringList &voices);
    void languageChanged(const QString &language);
    void voiceChanged(const QString &voice);
    // Anything the voice pop-ups show changed: languages, families, voices,
    // favourites or the choice.
    void pickerChanged();
    void pitchChanged(int pitch);
    void speedChanged(int speed);
    // The text was replaced as a whole (a loaded document), not edited.
    void textReset(const QString &text);
    // Undo or redo changed the text: [location, location + removed) became
    // inserted. The spans are already those of after the change.
    void textReplaced(qint64 location, qint64 removed, const QString &inserted);
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    void modifiedChanged(bool modified);
    // A refusal or limit for the one-button alert.
    void alertRequested(const QString &message);
    // A brief message that needs no answer.
    void briefMessageRequested(const QString &message);
    void convertingChanged(bool converting);
    // The engine works (true) or has answered (false).
    void busyChanged(bool busy);
    // A conversion started: ssml is the string sent, engine the engine's name.
    void conversionRequested(const QString &ssml, const QString &engine);
    void conversionFailed(const SpeechError &error);
    void conversionSaved(const QString &path);
    // How far the running conversion has come, for the overlay: "Part 3 of
    // 12" for the cloud voice, a percentage for the offline voice, or empty
    // for a text that goes in one piece.
    void conversionProgressed(const QString &progress);

private:
    void setConverting(bool converting);
    static QString progressText(const ConversionProgress &progress,
                                SpeechEngineFactory::Kind engine);
    // Records a step that changed the spans only (nothing when they did not change).
    void recordSpans(const EffectsArray &before);
    void historyMoved();
    void restore(const EditStep &step, bool undo);
    void counted(const QString &statistics, bool overLimit);
    void settingChanged();
    // What a picker change can have changed: the choice only, or the
    // catalogue's names and the languages listed too.
    enum class PickerChange { Choice, Lists };
    // Mirrors the picker in the catalogue properties and tells the view.
    void pickerUpdated(PickerChange change = PickerChange::Choice);

    QString m_text;
    EffectsArray m_effectsArray;
    Catalogue m_dataSource;
    QStringList m_languages;
    QString m_language;
    QStringList m_googleDic;
    QString m_voice;
    int m_pitch;
    int m_speed;
    QString m_statistics;
    QString m_ssmlString;
    EditHistory m_history;
    bool m_overLimit = false;
    bool m_settingsChanged = false;
    bool m_wasModified = false;
    VoicePicker m_picker;

    Conversion *m_conversion;
    std::unique_ptr<SpeechEngine> m_engine; // of the last conversion; replaced by the next
    std::unique_ptr<FolderChooser> m_folderChooser;
    EngineProvider m_engineProvider;
    SpeechEngineFactory::Kind m_engineKind = SpeechEngineFactory::Kind::Offline;
    bool m_converting = false;
};

} // namespace parlino
