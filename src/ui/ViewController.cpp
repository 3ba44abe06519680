#include "ViewController.h"

#include "Logging.h"
#include "PlaybackController.h"
#include "catalogue/KeyOrder.h"
#include "document/ParlinoDocument.h"
#include "editing/EditTracker.h"
#include "editing/EffectApplier.h"
#include "editing/EffectKind.h"
#include "editing/NotificationCenter.h"
#include "editing/PopoverViewController.h"
#include "editing/SSMLTextView.h"
#include "editing/SpanHighlighter.h"
#include "editing/SpanLookup.h"
#include "settings/Settings.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SpeechEngineFactory.h"
#include "synthesis/SsmlAssembly.h"
#include "synthesis/cloud/NetError.h"
#include "widgets/FileDialogFolderChooser.h"
#include "widgets/MBProgressHUD.h"
#include "widgets/OfflineNotes.h"
#include "widgets/SegmentedControl.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace parlino {

namespace {

const QString lengthLimitMessage = QStringLiteral("The length cannot exceed 5000");
const QString emptyTextMessage = QStringLiteral("Text not empty!");
const QString loadingMessage = QStringLiteral("Loading...");

// What the effect buttons' tooltips say about Time, which has no popover help.
const char *const timeHelp =
    QT_TRANSLATE_NOOP("ViewController", "Say the selection as a time of day. Applies at "
                                        "once, without options.");

QLabel *valueLabel(QWidget *parent, const QString &widest) {
    auto *label = new QLabel(parent);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , m_textView(new SSMLTextView(this))
    , m_languagesPopBtn(new QComboBox(this))
    , m_voicesStylePopBtn(new QComboBox(this))
    , m_voicesStyleSegment(new SegmentedControl({tr("Standard")}, this))
    , m_pitchSlider(new QSlider(Qt::Horizontal, this))
    , m_speedSlider(new QSlider(Qt::Horizontal, this))
    , m_charactersCount(new QLabel(this))
    , m_effectsSelector(new QComboBox(this))
    , m_enginePopBtn(new QComboBox(this))
    , m_convertButton(new QPushButton(tr("Convert"), this))
    , m_offlineNotes(new OfflineNotes(this))
    , m_conversion(new Conversion(nullptr, this))
    , m_playbackController(new PlaybackController(
          m_textView, this, [this] { return conversionInput(); },
          [this] { return selectedKind(); }))
    , m_folderChooser(std::make_unique<FileDialogFolderChooser>(this))
    , m_engineProvider([](SpeechEngineFactory::Kind kind, QString *error) {
        // An empty key: the cloud engine looks it up for each request, so a
        // key entered in Preferences meanwhile is used.
        return SpeechEngineFactory::create(kind, QString(), error);
    }) {
    buildLayout();
    viewDidLoad();
    connect(m_conversion, &Conversion::busyChanged, this, &ViewController::conversionBusyChanged);
    connect(m_conversion, &Conversion::failed, this, &ViewController::conversionFailed);
    connect(m_conversion, &Conversion::saved, this, &ViewController::conversionSaved);
}

ViewController::~ViewController() {
    NotificationCenter::defaultCenter().removeObserver(this);
    m_textView->setSsmlDelegate(nullptr);
    // Gone before the engine, so a conversion cut short reports to no one.
    delete m_conversion;
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
    m_textView->setFont(editorFont);
    m_textView->setPlaceholderText(tr("Type or paste the text to speak, select a part of it "
                                      "and give it an effect."));

    m_languagesPopBtn->setToolTip(tr("Language of the text"));
    m_voicesStylePopBtn->setToolTip(tr("Voice that speaks the text"));
    m_voicesStyleSegment->setToolTip(tr("Voice style; click to list the voices again"));
    m_languagesPopBtn->setMinimumContentsLength(18);
    m_voicesStylePopBtn->setMinimumContentsLength(16);
    m_pitchSlider->setRange(-20, 20);
    m_pitchSlider->setToolTip(tr("Pitch in semitones"));
    m_speedSlider->setRange(25, 400);
    m_speedSlider->setValue(100);
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
    voice->addWidget(new QLabel(tr("Language"), this), 0, 0);
    voice->addWidget(m_languagesPopBtn, 0, 1, 1, 2);
    voice->addWidget(new QLabel(tr("Voice"), this), 0, 3);
    auto *voiceRow = new QHBoxLayout;
    voiceRow->setSpacing(8);
    voiceRow->addWidget(m_voicesStylePopBtn, 1);
    voiceRow->addWidget(m_voicesStyleSegment);
    voice->addLayout(voiceRow, 0, 4, 1, 2);
    voice->addWidget(new QLabel(tr("Pitch"), this), 1, 0);
    voice->addWidget(m_pitchSlider, 1, 1);
    voice->addWidget(pitchValue, 1, 2);
    voice->addWidget(new QLabel(tr("Speed"), this), 1, 3);
    voice->addWidget(m_speedSlider, 1, 4);
    voice->addWidget(speedValue, 1, 5);
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
        updateOfflineNotes();
    });
    connect(m_voicesStylePopBtn, &QComboBox::currentIndexChanged, this,
            &ViewController::updateOfflineNotes);
    connect(m_pitchSlider, &QSlider::valueChanged, this, &ViewController::updateOfflineNotes);
    connect(m_speedSlider, &QSlider::valueChanged, this, &ViewController::updateOfflineNotes);
}

void ViewController::refreshEngineChoice() {
    const QString preferred = SpeechEngineFactory::name(SpeechEngineFactory::preferredKind());
    m_enginePopBtn->setCurrentIndex(std::max(0, m_enginePopBtn->findData(preferred)));
    updateOfflineNotes();
}

void ViewController::updateOfflineNotes() {
    const bool offline =
        selectedEngine() == SpeechEngineFactory::name(SpeechEngineFactory::Kind::Offline);
    m_offlineNotes->refresh(offline, m_voicesStylePopBtn->currentText(), m_pitchSlider->value(),
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
        connect(button, &QPushButton::clicked, this,
                [this, button] { effectsItemAtButton(button); });
        row->addWidget(button);
        m_effectButtons << button;
    }
    row->addStretch(1);
    return view;
}

void ViewController::viewDidLoad() {
    m_effectsArray.clear();
    m_textView->setSsmlDelegate(this);
    // Attached after the text view has connected its edit reports, so each
    // edited block is highlighted again with the spans already moved.
    m_highlighter = new SpanHighlighter(&m_effectsArray, m_textView->document());

    m_languagesPopBtn->clear();
    m_dataSource = DataSource::returnDataSource();
    m_languagesPopBtn->addItems(sortedArrayByKeys(m_dataSource.keys()));
    m_googleDic = m_dataSource.value(m_languagesPopBtn->currentText());
    fillVoices();

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

void ViewController::fillVoices() {
    m_voicesStylePopBtn->clear();
    m_voicesStylePopBtn->addItems(sortedArrayByKeys(m_googleDic));
    m_voicesStylePopBtn->setEnabled(!m_googleDic.isEmpty());
    updateOfflineNotes();
}

void ViewController::languagesPopBtnClick() {
    m_googleDic = m_dataSource.value(m_languagesPopBtn->currentText());
    fillVoices();
}

void ViewController::chooseVoicesStyleClick() {
    fillVoices();
}

void ViewController::voiceWithEffectsAction(int selectedIndex) {
    m_effectsView->setVisible(selectedIndex != 0);
}

void ViewController::effectsItemAtButton(QAbstractButton *button) {
    const qint64 caret = m_textView->selectionStart();
    const QString title = button->text();
    const EffectKind *kind = EffectKind::find(title);
    if (!kind)
        return;
    if (kind->id == EffectKind::Time) {
        setEffectsDataWithEffects(kind->name, kind->color(), QStringLiteral("time"));
        return;
    }
    auto *popover = new PopoverViewController(title, window());
    // Back to the text when the popover closes, so typing goes on where it was.
    connect(popover, &QObject::destroyed, m_textView, [this] { m_textView->setFocus(); });
    popover->showNextTo(button);
    if (kind->id != EffectKind::Break)
        return;
    const SSMLCharactersModel pause = EffectApplier::makePause(caret);
    if (m_effectsArray.isEmpty() || EffectApplier::pauseGoesIn(m_effectsArray, caret)) {
        // Reported like typing, so the other spans move before the pause joins them.
        m_textView->insertText(QString(QChar(pauseGlyph)));
        m_effectsArray.append(pause);
    }
    sortByEnd(m_effectsArray);
    spansChanged();
}

void ViewController::setEffectsDataWithEffects(const QString &effect, const QColor &tagColor,
                                               const QString &ssmlTag) {
    EffectApplier::apply(m_effectsArray, m_textView->selectionStart(),
                         m_textView->selectionLength(), effect, tagColor, ssmlTag);
    spansChanged();
}

void ViewController::setEffectsData(const QVariantMap &userInfo) {
    const QString effect = userInfo.value(Notifications::effectsKey).toString();
    const EffectKind *kind = EffectKind::find(effect);
    if (!kind)
        return;
    setEffectsDataWithEffects(kind->name, kind->color(),
                              userInfo.value(Notifications::itemTitleKey).toString());
}

void ViewController::breakTimeValue(const QVariantMap &userInfo) {
    EffectApplier::setPauseValue(m_effectsArray, m_textView->selectionStart(),
                                 userInfo.value(Notifications::itemTitleKey));
}

void ViewController::deleteEffects(const QVariantMap &) {
    if (EffectApplier::deleteAt(m_effectsArray, m_textView->selectionStart()))
        spansChanged();
}

qsizetype ViewController::determineLocation() const {
    return parlino::determineLocation(m_effectsArray, m_textView->selectionStart());
}

void ViewController::returnDidChangeTextView(SSMLTextView *,
                                             const QList<std::pair<qint64, qint64>> &affectedRanges,
                                             const QStringList &replacementStrings,
                                             const QString &textViewString) {
    const TextEdit edit = TextEdit::fromRanges(affectedRanges, replacementStrings);
    // The caret right after the new text, where every user edit leaves it.
    const qint64 caret = edit.location + edit.inserted;
    const EditTrackingResult result =
        EditTracker::track(m_effectsArray, edit, caret, textViewString);
    m_charactersCount->setText(result.statistics);
    spansChanged();
    if (result.limitExceeded)
        showAlert(lengthLimitMessage, alertType);
}

void ViewController::spansChanged() {
    // Blocks whose colours did not change are left alone by the highlighter.
    m_highlighter->rehighlight();
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

void ViewController::setFolderChooser(std::unique_ptr<FolderChooser> chooser) {
    // A running conversion holds on to the current one until it has asked.
    if (m_converting) {
        qCWarning(lcApp, "the folder chooser is not replaced while a conversion runs");
        return;
    }
    m_folderChooser = std::move(chooser);
}

void ViewController::setEngineProvider(EngineProvider provider) {
    m_playbackController->setEngineProvider(provider);
    m_engineProvider = std::move(provider);
}

void ViewController::convertBtnClick() {
    const QString text = m_textView->toPlainText();
    if (text.isEmpty()) {
        showAlert(emptyTextMessage, alertType);
        return;
    }
    // One conversion at a time: the button is disabled meanwhile, and any
    // other call is turned away with a brief message.
    if (m_converting) {
        MBProgressHUD::showError(tr("A conversion is already running."), this);
        return;
    }
    m_ssmlString = assembleSsml(text, m_effectsArray);
    qCDebug(lcApp).noquote() << m_ssmlString;
    googleTTSRequest();
}

ConversionInput ViewController::conversionInput() const {
    ConversionInput input;
    input.text = m_textView->toPlainText();
    input.spans = m_effectsArray;
    input.voice = m_voicesStylePopBtn->currentText();
    input.pitch = m_pitchSlider->value();
    input.speed = m_speedSlider->value();
    return input;
}

SpeechEngineFactory::Kind ViewController::selectedKind() const {
    return SpeechEngineFactory::kindFromName(selectedEngine())
        .value_or(SpeechEngineFactory::preferredKind());
}

void ViewController::googleTTSRequest() {
    ConversionInput input = conversionInput();
    input.subtitles =
        Subtitles::formatFromName(Settings::value(Settings::Key::Subtitles).toString());
    const QString refusal = Conversion::refusal(input);
    if (!refusal.isEmpty()) {
        showAlert(refusal, alertType);
        return;
    }
    const auto kind = selectedKind();
    QString error;
    std::unique_ptr<SpeechEngine> engine = m_engineProvider(kind, &error);
    if (!engine) {
        showAlert(error.isEmpty() ? tr("No speech engine is available.") : error, alertType);
        return;
    }
    // The previous conversion has ended, so its engine can go.
    m_conversion->setEngine(engine.get());
    m_engine = std::move(engine);
    setConverting(true);
    emit conversionRequested(m_ssmlString, selectedEngine());
    m_conversion->start(input, AudioDestination::askUser(m_folderChooser.get()),
                        [this](const ConversionResult &) { setConverting(false); });
}

void ViewController::setConverting(bool converting) {
    m_converting = converting;
    m_convertButton->setEnabled(!converting);
}

void ViewController::conversionBusyChanged(bool busy) {
    if (busy) {
        m_loadingHud = MBProgressHUD::showMessage(loadingMessage, this);
        return;
    }
    // This overlay, not the topmost one: a brief message may stand above it.
    // It fades out before the folder question, which follows at once.
    if (m_loadingHud)
        m_loadingHud->hideAnimated(true);
    m_loadingHud.clear();
}

void ViewController::conversionFailed(const QString &message) {
    if (message == NetError::noNetworkMessage())
        MBProgressHUD::showError(message, this);
    else
        showAlert(message, alertType);
}

void ViewController::conversionSaved(const QString &path) {
    MBProgressHUD::showSuccess(tr("Saved %1").arg(QFileInfo(path).fileName()), this);
}

ParlinoDocument ViewController::document() const {
    ParlinoDocument document;
    document.text = m_textView->toPlainText();
    document.effects = m_effectsArray;
    if (!m_voicesStylePopBtn->currentText().isEmpty())
        document.voice = m_voicesStylePopBtn->currentText();
    document.pitch = m_pitchSlider->value();
    document.speed = m_speedSlider->value();
    return document;
}

void ViewController::loadDocument(const ParlinoDocument &document) {
    m_effectsArray = document.effects;
    m_textView->resetText(document.text);
    m_charactersCount->setText(EditTracker::statistics(document.text));
    if (document.voice) {
        for (auto it = m_dataSource.cbegin(); it != m_dataSource.cend(); ++it) {
            if (!it.value().contains(*document.voice))
                continue;
            m_languagesPopBtn->setCurrentText(it.key());
            languagesPopBtnClick();
            m_voicesStylePopBtn->setCurrentText(*document.voice);
            break;
        }
    }
    if (document.pitch)
        m_pitchSlider->setValue(*document.pitch);
    if (document.speed)
        m_speedSlider->setValue(*document.speed);
    // resetText() has highlighted every block with the new spans already.
}

} // namespace parlino
