#include "editing/EditorSession.h"

#include "Logging.h"
#include "document/ParlinoDocument.h"
#include "editing/EditTracker.h"
#include "editing/EffectApplier.h"
#include "editing/PauseLength.h"
#include "editing/SpanLookup.h"
#include "output/AudioDestination.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/VoiceLimits.h"

namespace parlino {

EditorSession::EditorSession(QObject *parent)
    : QObject(parent)
    , m_pitch(VoiceLimits::pitch.standard)
    , m_speed(VoiceLimits::speed.standard)
    , m_conversion(new Conversion(nullptr, this))
    , m_engineProvider([](SpeechEngineFactory::Kind kind, QString *error) {
        // An empty key: the cloud engine looks it up for each request, so a
        // key entered in Preferences meanwhile is used.
        return SpeechEngineFactory::create(kind, QString(), error);
    }) {
    pickerUpdated(PickerChange::Lists);
    m_settingsChanged = false;
    m_wasModified = false;
    connect(m_conversion, &Conversion::busyChanged, this, &EditorSession::busyChanged);
    connect(m_conversion, &Conversion::failed, this, &EditorSession::conversionFailed);
    connect(m_conversion, &Conversion::saved, this, &EditorSession::conversionSaved);
    connect(m_conversion, &Conversion::progressed, this,
            [this](const ConversionProgress &progress) {
                emit conversionProgressed(progressText(progress, m_engineKind));
            });
}

EditorSession::~EditorSession() {
    // Gone before the engine, so a conversion cut short reports to no one.
    delete m_conversion;
}

void EditorSession::setLanguage(const QString &language) {
    m_picker.pickLanguage(language);
    pickerUpdated();
}

void EditorSession::setVoice(const QString &voice) {
    m_picker.pickVoice(voice);
    pickerUpdated();
}

void EditorSession::setCatalogue(const VoiceCatalogue &catalogue) {
    m_picker.setCatalogue(catalogue);
    pickerUpdated(PickerChange::Lists);
}

void EditorSession::pickFamily(const QString &family) {
    m_picker.pickFamily(family);
    pickerUpdated();
}

bool EditorSession::searchVoices(const QString &query) {
    const bool found = m_picker.search(query);
    pickerUpdated(PickerChange::Lists);
    return found;
}

void EditorSession::setFavourites(const QSet<QString> &favourites) {
    m_picker.setFavourites(favourites);
    pickerUpdated();
}

void EditorSession::setFavourite(const QString &voice, bool favourite) {
    m_picker.setFavourite(voice, favourite);
    pickerUpdated();
}

bool EditorSession::restoreChoice(const QString &language, const QString &voice) {
    const bool restored = m_picker.restore(language, voice);
    pickerUpdated();
    return restored;
}

void EditorSession::pickerUpdated(PickerChange change) {
    if (change == PickerChange::Lists) {
        m_dataSource = m_picker.catalogue().names();
        m_languages = m_picker.languages();
    }
    m_googleDic.clear();
    for (const VoiceInfo &voice : m_picker.voices())
        m_googleDic.append(voice.name);
    if (m_language != m_picker.language()) {
        m_language = m_picker.language();
        emit languageChanged(m_language);
    }
    emit voicesChanged(m_googleDic);
    if (m_voice != m_picker.voice()) {
        m_voice = m_picker.voice();
        emit voiceChanged(m_voice);
        settingChanged();
    }
    emit pickerChanged();
}

void EditorSession::setPitch(int pitch) {
    if (m_pitch == pitch)
        return;
    m_pitch = pitch;
    emit pitchChanged(pitch);
    settingChanged();
}

void EditorSession::setSpeed(int speed) {
    if (m_speed == speed)
        return;
    m_speed = speed;
    emit speedChanged(speed);
    settingChanged();
}

void EditorSession::applyEffect(EffectKind::Id kind, qint64 selectionStart, qint64 selectionLength,
                                const QString &value) {
    const EffectsArray before = m_effectsArray;
    EffectApplier::apply(m_effectsArray, selectionStart, selectionLength, kind, value);
    recordSpans(before);
    emit spansChanged();
}

std::optional<QString> EditorSession::currentValue(EffectKind::Id kind, qint64 selectionStart,
                                                   qint64 selectionLength) const {
    const qsizetype i =
        EffectApplier::spanAt(m_effectsArray, selectionStart, selectionLength, kind);
    if (i < 0)
        return std::nullopt;
    return m_effectsArray.at(i).ssmlTag;
}

bool EditorSession::hasPauseAt(qint64 selectionStart, qint64 selectionLength) const {
    return EffectApplier::pauseAt(m_effectsArray, selectionStart, selectionLength) >= 0;
}

bool EditorSession::pauseGoesIn(qint64 caret) const {
    return m_effectsArray.isEmpty() || EffectApplier::pauseGoesIn(m_effectsArray, caret);
}

void EditorSession::placePause(qint64 caret, bool glyphInserted) {
    if (glyphInserted)
        m_effectsArray.append(EffectApplier::makePause(caret));
    sortByEnd(m_effectsArray);
    if (glyphInserted)
        m_history.amendLast(m_effectsArray);
    emit spansChanged();
}

bool EditorSession::setPauseValue(qint64 selectionStart, qint64 selectionLength,
                                  const QVariant &value) {
    std::optional<QString> seconds;
    if (value.typeId() == QMetaType::Int)
        seconds = readPauseLength(QString::number(value.toInt()), QLocale::c());
    else
        seconds = readPauseLength(value.toString(), QLocale::c());
    if (!seconds)
        return false;
    const EffectsArray before = m_effectsArray;
    EffectApplier::setPauseValue(m_effectsArray, selectionStart, selectionLength, *seconds);
    recordSpans(before);
    return true;
}

void EditorSession::deleteEffectAt(qint64 caret) {
    const EffectsArray before = m_effectsArray;
    if (!EffectApplier::deleteAt(m_effectsArray, caret))
        return;
    recordSpans(before);
    emit spansChanged();
}

qsizetype EditorSession::determineLocation(qint64 caret) const {
    return parlino::determineLocation(m_effectsArray, caret);
}

void EditorSession::trackEdit(const TextEdit &edit, const QString &newText, bool typed) {
    EditStep step;
    step.location = edit.location;
    step.removedText = m_text.mid(edit.location, edit.removed);
    step.insertedText = newText.mid(edit.location, edit.inserted);
    step.typed = typed;
    step.spansBefore = m_effectsArray;
    m_text = newText;
    const EditTrackingResult result = EditTracker::track(m_effectsArray, edit, newText);
    step.spansAfter = m_effectsArray;
    if (step.changesText() || step.spansAfter != step.spansBefore) {
        m_history.record(step);
        historyMoved();
    }
    emit spansChanged();
    counted(result.statistics, result.limitExceeded);
}

void EditorSession::counted(const QString &statistics, bool overLimit) {
    m_statistics = statistics;
    emit statisticsChanged(m_statistics);
    // Once when the count crosses the limit, not at every further key: the
    // alert would take the keys typed while it is up.
    const bool crossed = overLimit && !m_overLimit;
    m_overLimit = overLimit;
    if (crossed)
        emit alertRequested(lengthLimitMessage());
}

void EditorSession::recordSpans(const EffectsArray &before) {
    if (before == m_effectsArray)
        return;
    EditStep step;
    step.spansBefore = before;
    step.spansAfter = m_effectsArray;
    m_history.record(step);
    historyMoved();
}

void EditorSession::undo() {
    if (m_history.canUndo())
        restore(m_history.undo(), true);
}

void EditorSession::redo() {
    if (m_history.canRedo())
        restore(m_history.redo(), false);
}

void EditorSession::restore(const EditStep &step, bool undo) {
    const QString &was = undo ? step.insertedText : step.removedText;
    const QString &becomes = undo ? step.removedText : step.insertedText;
    // The spans first: the view highlights the changed text with them.
    m_effectsArray = undo ? step.spansBefore : step.spansAfter;
    if (step.changesText()) {
        m_text.replace(step.location, was.size(), becomes);
        emit textReplaced(step.location, was.size(), becomes);
    }
    historyMoved();
    emit spansChanged();
    if (step.changesText())
        counted(EditTracker::statistics(m_text),
                EditTracker::characterCount(m_text) > EditTracker::characterLimit);
}

void EditorSession::historyMoved() {
    emit undoAvailable(m_history.canUndo());
    emit redoAvailable(m_history.canRedo());
    const bool modified = isModified();
    if (modified != m_wasModified) {
        m_wasModified = modified;
        emit modifiedChanged(modified);
    }
}

void EditorSession::settingChanged() {
    m_settingsChanged = true;
    historyMoved();
}

void EditorSession::markSaved() {
    m_history.markClean();
    m_settingsChanged = false;
    historyMoved();
}

ParlinoDocument EditorSession::document() const {
    ParlinoDocument document;
    document.text = m_text;
    document.effects = m_effectsArray;
    if (!m_voice.isEmpty())
        document.voice = m_voice;
    document.pitch = m_pitch;
    document.speed = m_speed;
    return document;
}

void EditorSession::loadDocument(const ParlinoDocument &document) {
    m_effectsArray = document.effects;
    m_text = document.text;
    emit textReset(m_text);
    m_statistics = EditTracker::statistics(m_text);
    emit statisticsChanged(m_statistics);
    m_overLimit = EditTracker::characterCount(m_text) > EditTracker::characterLimit;
    if (document.voice && m_picker.catalogue().contains(*document.voice)) {
        // The whole list, so the document's voice is there to be chosen.
        m_picker.search(QString());
        m_picker.restore(m_picker.catalogue().languageOf(*document.voice), *document.voice);
        pickerUpdated(PickerChange::Lists);
    }
    if (document.pitch)
        setPitch(*document.pitch);
    if (document.speed)
        setSpeed(*document.speed);
    m_history.clear();
    m_settingsChanged = false;
    historyMoved();
}

void EditorSession::setFolderChooser(std::unique_ptr<FolderChooser> chooser) {
    // A running conversion holds on to the current one until it has asked.
    if (m_converting) {
        qCWarning(lcApp, "the folder chooser is not replaced while a conversion runs");
        return;
    }
    m_folderChooser = std::move(chooser);
}

void EditorSession::setEngineProvider(EngineProvider provider) {
    m_engineProvider = std::move(provider);
}

void EditorSession::convert(const QString &engine) {
    if (m_text.isEmpty()) {
        emit alertRequested(emptyTextMessage());
        return;
    }
    // One conversion at a time: the view disables Convert meanwhile, and any
    // other call is turned away with a brief message.
    if (m_converting) {
        emit briefMessageRequested(busyMessage());
        return;
    }
    startConversion(engine);
}

void EditorSession::startConversion(const QString &engine) {
    // Assembled here once; the conversion sends this very string.
    m_ssmlString = assembleSsml(m_text, m_effectsArray);
    qCDebug(lcApp).noquote() << m_ssmlString;
    ConversionInput input;
    input.text = m_text;
    input.spans = m_effectsArray;
    input.voice = m_voice;
    input.pitch = m_pitch;
    input.speed = m_speed;
    input.ssml = m_ssmlString;
    input.subtitles =
        Subtitles::formatFromName(Settings::value(Settings::Key::Subtitles).toString());
    const QString refusal = Conversion::refusal(input);
    if (!refusal.isEmpty()) {
        emit alertRequested(refusal);
        return;
    }
    const auto kind = SpeechEngineFactory::kindOrPreferred(engine);
    QString error;
    std::unique_ptr<SpeechEngine> made = m_engineProvider(kind, &error);
    if (!made) {
        emit alertRequested(error.isEmpty() ? tr("No speech engine is available.") : error);
        return;
    }
    // The previous conversion has ended, so its engine can go.
    m_conversion->setEngine(made.get());
    m_engine = std::move(made);
    m_engineKind = kind;
    setConverting(true);
    emit conversionRequested(m_ssmlString, engine);
    m_conversion->start(input, AudioDestination::askUser(m_folderChooser.get()),
                        [this](const ConversionResult &) { setConverting(false); });
}

void EditorSession::cancelConversion() {
    m_conversion->cancelAll();
}

QString EditorSession::progressText(const ConversionProgress &progress,
                                    SpeechEngineFactory::Kind engine) {
    if (progress.partsTotal < 2)
        return QString();
    if (engine == SpeechEngineFactory::Kind::Cloud)
        return tr("Part %1 of %2")
            .arg(qMin(progress.partsDone + 1, progress.partsTotal))
            .arg(progress.partsTotal);
    const qint64 total = qMax<qint64>(1, progress.charactersTotal);
    return tr("%1%").arg(progress.charactersDone * 100 / total);
}

void EditorSession::setConverting(bool converting) {
    m_converting = converting;
    emit convertingChanged(converting);
}

} // namespace parlino
