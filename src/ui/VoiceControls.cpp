#include "VoiceControls.h"

#include "Logging.h"
#include "catalogue/LiveVoices.h"
#include "catalogue/VoiceFamily.h"
#include "editing/EditorSession.h"
#include "settings/ApiKeyStore.h"
#include "settings/RememberedChoices.h"
#include "synthesis/CloudModule.h"
#include "synthesis/offline/EspeakVoiceList.h"
#include "widgets/SegmentedControl.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace parlino {

namespace {

const QString star = QStringLiteral("\u2605");
const QString hollowStar = QStringLiteral("\u2606");

} // namespace

VoiceControls::VoiceControls(const VoiceWidgets &widgets, EditorSession *session,
                             SpeechEngineFactory::Kind engine, QObject *parent)
    : QObject(parent)
    , m_widgets(widgets)
    , m_session(session)
    , m_live(new LiveVoices(VoiceCache(), nullptr, this))
    , m_offline(VoiceCatalogue::offline({}))
    , m_engine(engine) {
    const RememberedChoices remembered = RememberedChoices::load();
    m_session->setFavourites(remembered.favourites);
    applyCatalogue();
    m_session->restoreChoice(remembered.language, remembered.voice);
    // A voice of the service's list is known once that list has been read.
    if (selectedVoice() != remembered.voice)
        m_pendingVoice = remembered.voice;
    fill();
    connect(m_session, &EditorSession::pickerChanged, this, &VoiceControls::fill);
    if (remembered.pitch)
        m_widgets.pitch->setValue(*remembered.pitch);
    if (remembered.speed)
        m_widgets.speed->setValue(*remembered.speed);

    connect(m_widgets.voices, &QComboBox::activated, this, &VoiceControls::voicePicked);
    connect(m_widgets.search, &QLineEdit::textChanged, this, &VoiceControls::searchChanged);
    connect(m_widgets.favourite, &QToolButton::toggled, this, &VoiceControls::favouriteToggled);
    for (QSlider *slider : {m_widgets.pitch, m_widgets.speed}) {
        connect(slider, &QSlider::sliderReleased, this, &VoiceControls::remember);
        connect(slider, &QSlider::valueChanged, this, [this, slider] {
            if (!slider->isSliderDown())
                remember();
        });
    }
    connect(m_live, &LiveVoices::updated, this, [this] {
        if (m_engine == SpeechEngineFactory::Kind::Cloud)
            applyCatalogue();
    });
    connect(m_live, &LiveVoices::refreshEnded, this, &VoiceControls::liveRefreshEnded);
    m_widgets.languages->installEventFilter(this);
    m_widgets.search->installEventFilter(this);
}

bool VoiceControls::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::Paint:
        if (watched == m_widgets.languages && !m_liveAsked) {
            m_liveAsked = true;
            // Queued, so the first paint of the window ends before anything loads.
            QTimer::singleShot(0, this, &VoiceControls::loadInBackground);
        }
        break;
    case QEvent::FocusIn:
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
        loadOfflineLanguages();
        break;
    default:
        break;
    }
    return false;
}

void VoiceControls::loadInBackground() {
    QTimer::singleShot(1000, this, &VoiceControls::loadOfflineLanguages);
    if (m_engine == SpeechEngineFactory::Kind::Cloud && !m_liveRefreshed)
        refreshLive(false);
}

void VoiceControls::loadOfflineLanguages() {
    if (m_offlineAsked)
        return;
    m_offlineAsked = true;
    m_widgets.languages->removeEventFilter(this);
    m_widgets.search->removeEventFilter(this);
    EspeakVoiceList::load(this, [this](const QList<EspeakLanguage> &languages) {
        m_offline = VoiceCatalogue::offline(languages);
        if (m_engine == SpeechEngineFactory::Kind::Offline)
            applyCatalogue();
    });
}

void VoiceControls::refreshLive(bool force) {
    m_liveRefreshed = true;
    m_forced = force;
    ApiKeyStore::read(this, [this, force](const QString &key) {
        if (key.isEmpty() && !force)
            return; // no key: the built-in list, as without a service
        // Without the cloud module the refresh ends saying why.
        const CloudModule *cloud = CloudModule::get();
        m_live->refresh(cloud ? cloud->configuredEndpoint() : QUrl(), key, force);
    });
}

void VoiceControls::refreshVoices() {
    refreshLive(true);
}

void VoiceControls::liveRefreshEnded(const QString &error) {
    if (error.isEmpty()) {
        m_listProblem.clear();
    } else if (!m_listProblemShown || m_forced) {
        // Reported once, under the sliders; never an alert.
        m_listProblemShown = true;
        m_listProblem = tr("The voice list could not be refreshed (%1); %2 is in use.")
                            .arg(error, LiveVoices::describe(m_live->source(), m_live->fetched()));
    }
    updateNote();
    emit voiceListRefreshed(error);
}

void VoiceControls::setEngine(SpeechEngineFactory::Kind engine) {
    m_engine = engine;
    applyCatalogue();
    if (engine == SpeechEngineFactory::Kind::Cloud && !m_liveRefreshed)
        refreshLive(false);
}

QString VoiceControls::selectedVoice() const {
    return m_session->voice();
}

void VoiceControls::applyCatalogue() {
    const VoiceCatalogue &catalogue =
        m_engine == SpeechEngineFactory::Kind::Offline ? m_offline : m_live->catalogue();
    m_session->setCatalogue(catalogue);
    if (!m_pendingVoice.isEmpty() && catalogue.contains(m_pendingVoice)) {
        m_session->restoreChoice(catalogue.languageOf(m_pendingVoice), m_pendingVoice);
        m_pendingVoice.clear();
    }
}

void VoiceControls::fill() {
    const VoicePicker &picker = m_session->picker();
    {
        const QSignalBlocker blocker(m_widgets.languages);
        const QStringList languages = picker.languages();
        QStringList shown;
        for (int i = 0; i < m_widgets.languages->count(); ++i)
            shown.append(m_widgets.languages->itemText(i));
        // Rebuilt only when the list changed, so a pick does not redo 130 items.
        if (shown != languages) {
            m_widgets.languages->clear();
            m_widgets.languages->addItems(languages);
        }
        m_widgets.languages->setCurrentText(picker.language());
    }
    fillVoices();
}

void VoiceControls::fillVoices() {
    const VoicePicker &picker = m_session->picker();
    m_widgets.families->setTitles(picker.families());
    m_widgets.families->setSelectedSegment(int(picker.families().indexOf(picker.family())));
    const QList<VoiceInfo> voices = picker.voices();
    {
        const QSignalBlocker blocker(m_widgets.voices);
        m_widgets.voices->clear();
        for (const VoiceInfo &voice : voices) {
            const QString mark = picker.isFavourite(voice.name) ? star + u' ' : QString();
            m_widgets.voices->addItem(mark + voice.displayName(), voice.name);
        }
        m_widgets.voices->setCurrentIndex(m_widgets.voices->findData(picker.voice()));
        m_widgets.voices->setEnabled(!voices.isEmpty());
    }
    {
        const QSignalBlocker blocker(m_widgets.favourite);
        m_widgets.favourite->setEnabled(!picker.voice().isEmpty());
        m_widgets.favourite->setChecked(picker.isFavourite(picker.voice()));
        m_widgets.favourite->setText(m_widgets.favourite->isChecked() ? star : hollowStar);
    }
    updateNote();
}

void VoiceControls::updateNote() {
    QStringList lines;
    if (m_engine == SpeechEngineFactory::Kind::Cloud)
        lines << VoiceFamily::ignoredNote(VoiceInfo::familyOfName(selectedVoice()));
    lines << m_listProblem;
    lines.removeAll(QString());
    m_widgets.note->setText(lines.join(u'\n'));
    m_widgets.note->setVisible(!lines.isEmpty());
}

void VoiceControls::languagePicked() {
    m_pendingVoice.clear();
    m_session->setLanguage(m_widgets.languages->currentText());
    remember();
}

void VoiceControls::familyPicked(int index) {
    m_pendingVoice.clear();
    m_session->pickFamily(m_session->picker().families().value(index));
    remember();
}

void VoiceControls::voicePicked() {
    m_pendingVoice.clear();
    m_session->setVoice(m_widgets.voices->currentData().toString());
    remember();
}

void VoiceControls::searchChanged(const QString &text) {
    m_pendingVoice.clear();
    const bool found = m_session->searchVoices(text);
    QPalette palette = m_widgets.search->palette();
    palette.setColor(QPalette::Text, found ? m_widgets.languages->palette().color(QPalette::Text)
                                           : QColor(0xb0, 0x00, 0x20));
    m_widgets.search->setPalette(palette);
    m_widgets.search->setToolTip(found ? QString() : tr("No language or voice matches."));
}

void VoiceControls::favouriteToggled(bool favourite) {
    m_session->setFavourite(selectedVoice(), favourite);
    RememberedChoices::saveFavourites(m_session->picker().favourites());
}

void VoiceControls::remember() const {
    RememberedChoices choices;
    choices.language = m_session->language();
    choices.voice = selectedVoice();
    choices.pitch = m_widgets.pitch->value();
    choices.speed = m_widgets.speed->value();
    choices.save();
}

} // namespace parlino
