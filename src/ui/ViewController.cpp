#include "ViewController.h"

#include "Logging.h"
#include "PlaybackController.h"
#include "VoiceControls.h"
#include "catalogue/DataSource.h"
#include "catalogue/SampleSentence.h"
#include "document/ParlinoDocument.h"
#include "editing/EditTracker.h"
#include "editing/NotificationCenter.h"
#include "editing/PopoverViewController.h"
#include "editing/SSMLTextView.h"
#include "editing/SpanHighlighter.h"
#include "settings/Settings.h"
#include "synthesis/Conversion.h"
#include "synthesis/RequestSplitter.h"
#include "synthesis/SpeechEngineFactory.h"
#include "synthesis/VoiceLimits.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "widgets/FileDialogFolderChooser.h"
#include "widgets/MBProgressHUD.h"
#include "widgets/OfflineNotes.h"
#include "widgets/PopUpButton.h"
#include "widgets/SegmentedControl.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace parlino {

namespace {

const QString loadingMessage = QStringLiteral("Loading...");
// The dynamic property of an effect button that holds its kind's id.
const char *const effectKindProperty = "effectKind";

// What the effect buttons' tooltips say about Time, which has no popover help.
const char *const timeHelp =
    QT_TRANSLATE_NOOP("ViewController", "Say the selection as a time of day. Applies at "
                                        "once, without options.");

// A label that names its control, also for a screen reader.
QLabel *nameLabel(const QString &text, QWidget *control, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(control);
    control->setAccessibleName(QString(text).remove(u'&'));
    return label;
}

QLabel *valueLabel(QWidget *parent, const QString &widest) {
    auto *label = new QLabel(parent);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , m_session(new EditorSession(this))
    , m_textView(new SSMLTextView(this))
    // Sized by a length, not by measuring every language and voice name: the
    // measuring shapes each item's text and cost 4% of the start-up.
    , m_languagesPopBtn(new PopUpButton(18, this))
    , m_voicesStylePopBtn(new PopUpButton(16, this))
    , m_voicesStyleSegment(new SegmentedControl({tr("All")}, this))
    , m_pitchSlider(new QSlider(Qt::Horizontal, this))
    , m_speedSlider(new QSlider(Qt::Horizontal, this))
    , m_charactersCount(new QLabel(this))
    , m_requestCounter(new QTimer(this))
    , m_effectsSelector(new QComboBox(this))
    , m_enginePopBtn(new QComboBox(this))
    , m_convertButton(new QPushButton(tr("Convert"), this))
    , m_offlineNotes(new OfflineNotes(this))
    , m_voiceSearchField(new QLineEdit(this))
    , m_favouriteButton(new QToolButton(this))
    , m_hearButton(new QToolButton(this))
    , m_voiceNote(new QLabel(this))
    , m_playbackController(new PlaybackController(
          m_textView, this, [this] { return playbackInput(); },
          [this] { return selectedKind(); })) {
    m_session->setFolderChooser(std::make_unique<FileDialogFolderChooser>(this));
    buildLayout();
    viewDidLoad();
}

ViewController::~ViewController() {
    NotificationCenter::defaultCenter().removeObserver(this);
    m_textView->setSsmlDelegate(nullptr);
    m_textView->setHighlightSource({});
    // Gone before the widgets, so a conversion cut short reports to no one,
    // and the sound stops before the text view it marks goes.
    delete m_playbackController;
    delete m_session;
}

void ViewController::buildLayout() {
    m_textView->setObjectName(QStringLiteral("textView"));
    m_languagesPopBtn->setObjectName(QStringLiteral("languagesPopBtn"));
    m_voicesStylePopBtn->setObjectName(QStringLiteral("voicesStylePopBtn"));
    m_voicesStyleSegment->setObjectName(QStringLiteral("voicesStyleSegment"));
    m_pitchSlider->setObjectName(QStringLiteral("pitchSlider"));
    m_speedSlider->setObjectName(QStringLiteral("speedSlider"));
    m_charactersCount->setObjectName(QStringLiteral("charactersCount"));
    m_effectsSelector->setObjectName(QStringLiteral("effectsSelector"));
    m_enginePopBtn->setObjectName(QStringLiteral("enginePopBtn"));
    m_convertButton->setObjectName(QStringLiteral("convertButton"));

    QFont editorFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    editorFont.setPointSizeF(std::max(editorFont.pointSizeF() * 1.25, 12.0));
    m_textView->setTextFont(editorFont);
    m_textView->setEmptyHint(tr("Type or paste the text to speak, select a part of it "
                                "and give it an effect."));
    m_textView->setAccessibleName(tr("Text to speak"));
    m_voiceSearchField->setAccessibleName(tr("Find a voice"));
    m_favouriteButton->setAccessibleName(tr("Favourite voice"));
    m_voicesStyleSegment->setAccessibleName(tr("Voice style"));
    m_effectsSelector->setAccessibleName(tr("Effect buttons"));
    m_enginePopBtn->setAccessibleName(tr("Speech engine"));
    m_charactersCount->setAccessibleName(tr("Words and characters"));

    m_languagesPopBtn->setToolTip(tr("Language of the text"));
    m_voicesStylePopBtn->setToolTip(tr("Voice that speaks the text"));
    m_voicesStyleSegment->setToolTip(
        tr("Voice family: list only its voices (All lists every one)"));
    m_voiceSearchField->setObjectName(QStringLiteral("voiceSearchField"));
    m_voiceSearchField->setPlaceholderText(tr("Find a voice: neural2 female, welsh, de-DE"));
    m_favouriteButton->setObjectName(QStringLiteral("favouriteButton"));
    m_favouriteButton->setCheckable(true);
    m_favouriteButton->setToolTip(tr("Favourite voice: favourites come first in the list"));
    m_hearButton->setObjectName(QStringLiteral("hearButton"));
    m_hearButton->setAccessibleName(tr("Hear this voice"));
    m_hearButton->setToolTip(
        tr("Hear this voice: a short sentence in its language, at this pitch and speed"));
    m_hearButton->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    m_hearButton->setText(tr("Hear"));
    m_hearButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(m_hearButton, &QToolButton::clicked, this, &ViewController::hearVoice);
    m_voiceNote->setObjectName(QStringLiteral("voiceNote"));
    m_voiceNote->setWordWrap(true);
    QFont small = m_voiceNote->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_voiceNote->setFont(small);
    m_voiceNote->hide();
    m_pitchSlider->setRange(VoiceLimits::pitch.minimum, VoiceLimits::pitch.maximum);
    m_pitchSlider->setValue(VoiceLimits::pitch.standard);
    m_pitchSlider->setToolTip(tr("Pitch in semitones"));
    m_speedSlider->setRange(VoiceLimits::speed.minimum, VoiceLimits::speed.maximum);
    m_speedSlider->setValue(VoiceLimits::speed.standard);
    m_speedSlider->setSingleStep(5);
    m_speedSlider->setPageStep(25);
    m_speedSlider->setToolTip(tr("Speaking rate in per cent"));
    auto *pitchValue = valueLabel(this, QStringLiteral("−20"));
    auto *speedValue = valueLabel(this, QStringLiteral("400%"));
    const auto showPitch = [pitchValue](int v) { pitchValue->setText(QString::number(v)); };
    const auto showSpeed = [speedValue](int v) {
        speedValue->setText(QStringLiteral("%1%").arg(v));
    };
    showPitch(m_pitchSlider->value());
    showSpeed(m_speedSlider->value());
    connect(m_pitchSlider, &QSlider::valueChanged, pitchValue, showPitch);
    connect(m_speedSlider, &QSlider::valueChanged, speedValue, showSpeed);

    auto *voice = new QGridLayout;
    voice->setHorizontalSpacing(8);
    voice->addWidget(nameLabel(tr("&Language"), m_languagesPopBtn, this), 0, 0);
    voice->addWidget(m_languagesPopBtn, 0, 1, 1, 2);
    voice->addWidget(nameLabel(tr("&Voice"), m_voicesStylePopBtn, this), 0, 3);
    auto *voiceRow = new QHBoxLayout;
    voiceRow->setSpacing(8);
    voiceRow->addWidget(m_voicesStylePopBtn, 1);
    voiceRow->addWidget(m_favouriteButton);
    voiceRow->addWidget(m_hearButton);
    voice->addLayout(voiceRow, 0, 4, 1, 2);
    voice->addWidget(nameLabel(tr("&Pitch"), m_pitchSlider, this), 1, 0);
    voice->addWidget(m_pitchSlider, 1, 1);
    voice->addWidget(pitchValue, 1, 2);
    voice->addWidget(nameLabel(tr("&Speed"), m_speedSlider, this), 1, 3);
    voice->addWidget(m_speedSlider, 1, 4);
    voice->addWidget(speedValue, 1, 5);
    // The family segment shares the Find row: a language can have many families.
    voice->addWidget(new QLabel(tr("Find"), this), 2, 0);
    auto *findRow = new QHBoxLayout;
    findRow->setSpacing(8);
    findRow->addWidget(m_voiceSearchField, 1);
    findRow->addWidget(m_voicesStyleSegment);
    voice->addLayout(findRow, 2, 1, 1, 5);
    voice->setColumnStretch(1, 1);
    voice->setColumnStretch(4, 1);

    m_effectsSelector->addItems({tr("Plain voice"), tr("Voice with effects")});
    m_effectsSelector->setCurrentIndex(1);
    m_effectsSelector->setToolTip(tr("Show or hide the effect buttons"));
    m_effectsView = buildEffectsView();

    using Kind = SpeechEngineFactory::Kind;
    m_enginePopBtn->addItem(tr("Offline voice"), SpeechEngineFactory::name(Kind::Offline));
    m_enginePopBtn->addItem(tr("Cloud voice"), SpeechEngineFactory::name(Kind::Cloud));
    m_enginePopBtn->setToolTip(tr("Speak with the offline engine or the cloud service"));
    refreshEngineChoice();
    m_convertButton->setDefault(true);
    m_convertButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_convertButton->setToolTip(
        tr("Convert the text with its effects to an MP3 file (%1)")
            .arg(m_convertButton->shortcut().toString(QKeySequence::NativeText)));
    m_charactersCount->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_charactersCount, 1);
    bottom->addWidget(m_effectsSelector);
    bottom->addWidget(m_enginePopBtn);
    bottom->addWidget(m_playbackController->playButton());
    bottom->addWidget(m_convertButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(voice);
    layout->addWidget(m_voiceNote);
    layout->addWidget(m_offlineNotes);
    layout->addWidget(m_effectsView);
    layout->addWidget(m_textView, 1);
    layout->addLayout(bottom);

    connect(m_languagesPopBtn, &QComboBox::activated, this, &ViewController::languagesPopBtnClick);
    connect(m_voicesStyleSegment, &SegmentedControl::segmentClicked, this,
            &ViewController::chooseVoicesStyleClick);
    connect(m_effectsSelector, &QComboBox::activated, this,
            &ViewController::voiceWithEffectsAction);
    connect(m_convertButton, &QPushButton::clicked, this, &ViewController::convertBtnClick);
    connect(m_enginePopBtn, &QComboBox::activated, this, [this] {
        Settings::setValue(Settings::Key::Engine, selectedEngine());
        followEngine();
    });
    connect(m_pitchSlider, &QSlider::valueChanged, m_session, &EditorSession::setPitch);
    connect(m_speedSlider, &QSlider::valueChanged, m_session, &EditorSession::setSpeed);
    connect(m_pitchSlider, &QSlider::valueChanged, this, &ViewController::updateOfflineNotes);
    connect(m_speedSlider, &QSlider::valueChanged, this, &ViewController::updateOfflineNotes);
}

void ViewController::connectSession() {
    EditorSession *session = m_session;
    connect(session, &EditorSession::spansChanged, this, &ViewController::spansChanged);
    connect(session, &EditorSession::statisticsChanged, this, &ViewController::showStatistics);
    m_requestCounter->setSingleShot(true);
    m_requestCounter->setInterval(250);
    connect(m_requestCounter, &QTimer::timeout, this, &ViewController::countRequests);
    const auto recount = [this] { m_requestCounter->start(); };
    connect(session, &EditorSession::spansChanged, m_requestCounter, recount);
    connect(session, &EditorSession::voiceChanged, m_requestCounter, recount);
    // A language without a voice has nothing to hear.
    connect(session, &EditorSession::voiceChanged, m_hearButton,
            [this](const QString &voice) { m_hearButton->setEnabled(!voice.isEmpty()); });
    connect(session, &EditorSession::statisticsChanged, this, [this] {
        if (m_limitNotice && m_limitNotice->isVisible() &&
            EditTracker::characterCount(m_session->text()) <= EditTracker::characterLimit)
            m_limitNotice->hide();
    });
    // VoiceControls fills the language and voice pop-ups from the session.
    connect(session, &EditorSession::voiceChanged, this, &ViewController::updateOfflineNotes);
    connect(session, &EditorSession::pitchChanged, m_pitchSlider, &QSlider::setValue);
    connect(session, &EditorSession::speedChanged, m_speedSlider, &QSlider::setValue);
    connect(session, &EditorSession::textReset, m_textView, &SSMLTextView::resetText);
    connect(session, &EditorSession::alertRequested, this, [this](const QString &message) {
        if (message == EditorSession::lengthLimitMessage())
            showLimitNotice(message);
        else
            showAlert(message, alertType);
    });
    connect(session, &EditorSession::textReplaced, m_textView, &SSMLTextView::replaceText);
    const auto offerUndo = [this] {
        m_textView->setUndoRedoAvailable(m_session->canUndo(), m_session->canRedo());
    };
    connect(session, &EditorSession::undoAvailable, m_textView, offerUndo);
    connect(session, &EditorSession::redoAvailable, m_textView, offerUndo);
    connect(m_textView, &SSMLTextView::undoRequested, this, &ViewController::undo);
    connect(m_textView, &SSMLTextView::redoRequested, this, &ViewController::redo);
    connect(session, &EditorSession::briefMessageRequested, this,
            [this](const QString &message) { MBProgressHUD::showError(message, this); });
    connect(session, &EditorSession::convertingChanged, m_convertButton,
            [this](bool converting) { m_convertButton->setEnabled(!converting); });
    connect(session, &EditorSession::busyChanged, this, &ViewController::conversionBusyChanged);
    connect(session, &EditorSession::conversionProgressed, this, [this](const QString &progress) {
        if (m_loadingHud)
            m_loadingHud->setProgressText(progress);
    });
    connect(session, &EditorSession::conversionFailed, this, &ViewController::conversionFailed);
    connect(session, &EditorSession::conversionSaved, this, &ViewController::conversionSaved);
    connect(session, &EditorSession::conversionRequested, this,
            &ViewController::conversionRequested);
}

void ViewController::refreshEngineChoice() {
    const QString preferred = SpeechEngineFactory::name(SpeechEngineFactory::preferredKind());
    m_enginePopBtn->setCurrentIndex(std::max(0, m_enginePopBtn->findData(preferred)));
    followEngine();
}

// The voice pop-ups list the catalogue of the chosen engine.
void ViewController::followEngine() {
    if (m_voiceControls)
        m_voiceControls->setEngine(selectedKind());
    updateOfflineNotes();
    m_requestCounter->start();
}

void ViewController::updateOfflineNotes() {
    const bool offline =
        selectedEngine() == SpeechEngineFactory::name(SpeechEngineFactory::Kind::Offline);
    m_offlineNotes->refresh(offline, selectedVoice(), m_pitchSlider->value(),
                            m_speedSlider->value());
}

QWidget *ViewController::buildEffectsView() {
    auto *view = new QWidget(this);
    view->setObjectName(QStringLiteral("effectsView"));
    auto *row = new QHBoxLayout(view);
    row->setContentsMargins(0, 0, 0, 0);
    int number = 1;
    for (const EffectKind &kind : EffectKind::all()) {
        auto *button = new QPushButton(kind.name, view);
        button->setObjectName(QStringLiteral("effectButton"));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        button->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + number++)));
        const QString help = kind.helpText.isEmpty() ? tr(timeHelp) : kind.helpText;
        button->setToolTip(QStringLiteral("<b>%1</b> (%2)<br>%3")
                               .arg(kind.name.toHtmlEscaped(),
                                    button->shortcut().toString(QKeySequence::NativeText),
                                    help.toHtmlEscaped()));
        if (kind.isHighlighted()) {
            QPalette palette = button->palette();
            palette.setColor(QPalette::Button, kind.color());
            palette.setColor(QPalette::ButtonText, Qt::black);
            button->setPalette(palette);
        }
        button->setAccessibleName(tr("%1 effect").arg(kind.name));
        button->setAccessibleDescription(help);
        button->setProperty(effectKindProperty, int(kind.id));
        connect(button, &QPushButton::clicked, this,
                [this, button] { effectsItemAtButton(button); });
        row->addWidget(button);
        m_effectButtons << button;
    }
    row->addStretch(1);
    return view;
}

void ViewController::viewDidLoad() {
    m_textView->setSsmlDelegate(this);
    // Painted from the spans as they are at each paint, so after an edit the
    // text and the moved spans are painted together.
    m_highlighter = std::make_unique<SpanHighlighter>(&m_session->effectsArray());
    m_textView->setHighlightSource([highlighter = m_highlighter.get()](qint64 from, qint64 to) {
        return highlighter->highlights(from, to);
    });

    connectSession();
    const VoiceWidgets widgets{m_languagesPopBtn,  m_voicesStylePopBtn, m_voicesStyleSegment,
                               m_voiceSearchField, m_favouriteButton,   m_voiceNote,
                               m_pitchSlider,      m_speedSlider};
    m_voiceControls = new VoiceControls(widgets, m_session, selectedKind(), this);
    updateOfflineNotes();

    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(this, Notifications::popUpSelectedReturn,
                       [this](const QVariantMap &info) { setEffectsData(info); });
    center.addObserver(this, Notifications::deleteEffects,
                       [this](const QVariantMap &info) { deleteEffects(info); });
    center.addObserver(this, Notifications::breakValueReturn,
                       [this](const QVariantMap &info) { breakTimeValue(info); });
}

QPushButton *ViewController::effectButton(const QString &effect) const {
    for (QPushButton *button : m_effectButtons) {
        if (button->text() == effect)
            return button;
    }
    return nullptr;
}

QString ViewController::selectedEngine() const {
    return m_enginePopBtn->currentData().toString();
}

void ViewController::languagesPopBtnClick() {
    m_voiceControls->languagePicked();
}

void ViewController::chooseVoicesStyleClick() {
    m_voiceControls->familyPicked(m_voicesStyleSegment->selectedSegment());
}

void ViewController::voiceWithEffectsAction(int selectedIndex) {
    m_effectsView->setVisible(selectedIndex != 0);
}

void ViewController::effectsItemAtButton(QAbstractButton *button) {
    const EffectKind::Id kind = EffectKind::Id(button->property(effectKindProperty).toInt());
    if (kind == EffectKind::Time) {
        const bool twentyFourHour = Settings::value(Settings::Key::TwentyFourHourTime).toBool();
        setEffectsDataWithEffects(kind, EffectKind::timeValue(twentyFourHour));
        return;
    }
    const qint64 caret = m_textView->selectionStart();
    const qint64 length = m_textView->selectionLength();
    auto *popover = new PopoverViewController(kind, window());
    // Opens on the span it edits, showing that span's value.
    if (const auto value = m_session->currentValue(kind, caret, length))
        popover->setCurrentValue(*value);
    // Back to the text when the popover closes, so typing goes on where it was.
    connect(popover, &QObject::destroyed, m_textView, [this] { m_textView->setFocus(); });
    popover->showNextTo(button);
    // Break next to a pause edits that pause: no second glyph.
    if (kind != EffectKind::Break || m_session->hasPauseAt(caret, length))
        return;
    const bool goesIn = m_session->pauseGoesIn(caret);
    // Reported like typing, so the other spans move before the pause joins them.
    if (goesIn)
        m_textView->insertText(QString(QChar(pauseGlyph)));
    m_session->placePause(caret, goesIn);
}

void ViewController::setEffectsDataWithEffects(EffectKind::Id effect, const QString &ssmlTag) {
    m_session->applyEffect(effect, m_textView->selectionStart(), m_textView->selectionLength(),
                           ssmlTag);
}

void ViewController::setEffectsData(const QVariantMap &userInfo) {
    if (const auto kind = EffectKind::fromVariant(userInfo.value(Notifications::effectsKey)))
        setEffectsDataWithEffects(*kind, userInfo.value(Notifications::itemTitleKey).toString());
}

void ViewController::breakTimeValue(const QVariantMap &userInfo) {
    m_session->setPauseValue(m_textView->selectionStart(), m_textView->selectionLength(),
                             userInfo.value(Notifications::itemTitleKey));
}

void ViewController::deleteEffects(const QVariantMap &) {
    m_session->deleteEffectAt(m_textView->selectionStart());
}

qsizetype ViewController::determineLocation() const {
    return m_session->determineLocation(m_textView->selectionStart());
}

void ViewController::returnDidChangeTextView(SSMLTextView *textView,
                                             const QList<std::pair<qint64, qint64>> &affectedRanges,
                                             const QStringList &replacementStrings,
                                             const QString &textViewString) {
    m_session->trackEdit(TextEdit::fromRanges(affectedRanges, replacementStrings), textViewString,
                         textView->lastEditWasTyped());
}

void ViewController::undo() {
    m_session->undo();
}

void ViewController::redo() {
    m_session->redo();
}

void ViewController::spansChanged() {
    m_textView->highlightsChanged();
}

void ViewController::showAlert(const QString &message, qint64 type) {
    Q_UNUSED(type) // every alert looks the same
    if (m_alert && m_alert->isVisible() && m_alert->text() == message)
        return;
    auto *alert = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(),
                                  message, QMessageBox::NoButton, window());
    QPushButton *ok = alert->addButton(tr("OK"), QMessageBox::AcceptRole);
    alert->setDefaultButton(ok);
    alert->setEscapeButton(ok);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    connect(alert, &QMessageBox::finished, this,
            [alert, ok] { qCDebug(lcApp, "%s", alert->clickedButton() == ok ? "确定" : "else"); });
    m_alert = alert;
    alert->open();
}

void ViewController::showLimitNotice(const QString &message) {
    // Above the text instead of in an alert window, which would take the keys
    // typed while it is up. It stays until the text is within the limit again.
    const QString parts = tr("Longer texts are converted in parts.");
    // Made the first time: a style sheet costs the start-up, and most texts
    // stay within the limit.
    if (!m_limitNotice) {
        m_limitNotice = new QLabel(this);
        m_limitNotice->setObjectName(QStringLiteral("limitNotice"));
        m_limitNotice->setStyleSheet(QStringLiteral(
            "background: #fdecea; color: #611a15; border: 1px solid #e0b4b4; padding: 4px 8px"));
        auto *column = static_cast<QVBoxLayout *>(layout());
        column->insertWidget(column->indexOf(m_textView), m_limitNotice);
    }
    m_limitNotice->setText(message + u'\n' + parts);
    m_limitNotice->setAccessibleName(message);
    m_limitNotice->setAccessibleDescription(parts);
    m_limitNotice->setVisible(true);
}

void ViewController::showStatistics() {
    m_charactersCount->setText(m_session->statistics() + m_requestsNote);
    m_requestCounter->start();
}

void ViewController::countRequests() {
    int requests = 1;
    if (selectedKind() == SpeechEngineFactory::Kind::Cloud) {
        const bool subtitles =
            Subtitles::formatFromName(Settings::value(Settings::Key::Subtitles).toString())
                .has_value();
        const qint64 limit =
            Conversion::partByteLimit(CloudSpeechEngine::requestByteLimit, subtitles);
        requests = RequestSplitter::partCount(m_session->text(), m_session->effectsArray(),
                                              m_session->voice(), limit);
    }
    m_requestsNote = requests > 1 ? tr(" · %1 requests").arg(requests) : QString();
    m_charactersCount->setText(m_session->statistics() + m_requestsNote);
}

void ViewController::setFolderChooser(std::unique_ptr<FolderChooser> chooser) {
    m_session->setFolderChooser(std::move(chooser));
}

void ViewController::setEngineProvider(EngineProvider provider) {
    m_playbackController->setEngineProvider(provider);
    m_session->setEngineProvider(std::move(provider));
}

ConversionInput ViewController::playbackInput() const {
    ConversionInput input;
    input.text = m_session->text();
    input.spans = m_session->effectsArray();
    input.voice = m_session->voice();
    input.pitch = m_session->pitch();
    input.speed = m_session->speed();
    return input;
}

// The sample goes through the editor's playback, so it stops what plays and
// Stop or F5 stop it; only the text differs from what Play would speak.
void ViewController::hearVoice() {
    ConversionInput input = playbackInput();
    input.spans.clear();
    input.text = SampleSentence::forLanguage(DataSource::languageCodeOfVoice(input.voice));
    m_playbackController->playDetached(input);
}

SpeechEngineFactory::Kind ViewController::selectedKind() const {
    return SpeechEngineFactory::kindOrPreferred(selectedEngine());
}

void ViewController::convertBtnClick() {
    m_session->convert(selectedEngine());
}

void ViewController::googleTTSRequest() {
    m_session->startConversion(selectedEngine());
}

void ViewController::conversionBusyChanged(bool busy) {
    if (busy) {
        m_loadingHud = MBProgressHUD::showMessage(loadingMessage, this);
        if (m_loadingHud)
            m_loadingHud->setCancelAction([this] { m_session->cancelConversion(); });
        return;
    }
    // This overlay, not the topmost one: a brief message may stand above it.
    // It fades out before the folder question, which follows at once.
    if (m_loadingHud)
        m_loadingHud->hideAnimated(true);
    m_loadingHud.clear();
}

void ViewController::conversionFailed(const SpeechError &error) {
    // A network known to be down is a passing state, not something to answer.
    if (error.kind == SpeechError::NoNetwork)
        MBProgressHUD::showError(error.message, this);
    else
        showAlert(error.message, alertType);
}

void ViewController::conversionSaved(const QString &path) {
    MBProgressHUD::showSuccess(tr("Saved %1").arg(QFileInfo(path).fileName()), this);
}

ParlinoDocument ViewController::document() const {
    return m_session->document();
}

void ViewController::loadDocument(const ParlinoDocument &document) {
    m_session->loadDocument(document);
}

} // namespace parlino
