#include "VoiceControls.h"

#include "Logging.h"
#include "catalogue/LiveVoices.h"
#include "catalogue/VoiceFamily.h"
#include "settings/ApiKeyStore.h"
#include "settings/RememberedChoices.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
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

VoiceControls::VoiceControls(const VoiceWidgets &widgets, SpeechEngineFactory::Kind engine,
                             QObject *parent)
    : QObject(parent)
    , m_widgets(widgets)
    , m_live(new LiveVoices(VoiceCache(), nullptr, this))
    , m_offline(VoiceCatalogue::offline({}))
    , m_engine(engine) {
    m_picker.setFavourites(RememberedChoices::favourites());
    applyCatalogue();
    const RememberedChoices remembered = RememberedChoices::load();
    if (m_picker.restore(remembered.language, remembered.voice))
        fillLanguages();
    // A voice of the service's list is known once that list has been read.
    if (m_picker.voice() != remembered.voice)
        m_pendingVoice = remembered.voice;
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
        m_live->refresh(CloudSpeechEngine::configuredEndpoint(), key, force);
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

void VoiceControls::applyCatalogue() {
    m_picker.setCatalogue(m_engine == SpeechEngineFactory::Kind::Offline ? m_offline
                                                                         : m_live->catalogue());
    if (!m_pendingVoice.isEmpty() && m_picker.catalogue().contains(m_pendingVoice)) {
        m_picker.restore(m_picker.catalogue().languageOf(m_pendingVoice), m_pendingVoice);
        m_pendingVoice.clear();
    }
    fillLanguages();
}

void VoiceControls::fillLanguages() {
    {
        const QSignalBlocker blocker(m_widgets.languages);
        m_widgets.languages->clear();
        m_widgets.languages->addItems(m_picker.languages());
        m_widgets.languages->setCurrentText(m_picker.language());
    }
    fillVoices();
}

void VoiceControls::fillVoices() {
    m_widgets.families->setTitles(m_picker.families());
    m_widgets.families->setSelectedSegment(int(m_picker.families().indexOf(m_picker.family())));
    const QList<VoiceInfo> voices = m_picker.voices();
    {
        const QSignalBlocker blocker(m_widgets.voices);
        m_widgets.voices->clear();
        for (const VoiceInfo &voice : voices) {
            const QString mark = m_picker.isFavourite(voice.name) ? star + u' ' : QString();
            m_widgets.voices->addItem(mark + voice.displayName(), voice.name);
        }
        m_widgets.voices->setCurrentIndex(m_widgets.voices->findData(m_picker.voice()));
        m_widgets.voices->setEnabled(!voices.isEmpty());
    }
    {
        const QSignalBlocker blocker(m_widgets.favourite);
        m_widgets.favourite->setEnabled(!m_picker.voice().isEmpty());
        m_widgets.favourite->setChecked(m_picker.isFavourite(m_picker.voice()));
        m_widgets.favourite->setText(m_widgets.favourite->isChecked() ? star : hollowStar);
    }
    updateNote();
    emit voiceChanged();
}

void VoiceControls::updateNote() {
    QStringList lines;
    if (m_engine == SpeechEngineFactory::Kind::Cloud)
        lines << VoiceFamily::ignoredNote(VoiceInfo::familyOfName(m_picker.voice()));
    lines << m_listProblem;
    lines.removeAll(QString());
    m_widgets.note->setText(lines.join(u'\n'));
    m_widgets.note->setVisible(!lines.isEmpty());
}

void VoiceControls::languagePicked() {
    m_pendingVoice.clear();
    m_picker.pickLanguage(m_widgets.languages->currentText());
    fillVoices();
    remember();
}

void VoiceControls::familyPicked(int index) {
    m_pendingVoice.clear();
    m_picker.pickFamily(m_picker.families().value(index));
    fillVoices();
    remember();
}

void VoiceControls::voicePicked() {
    m_pendingVoice.clear();
    m_picker.pickVoice(m_widgets.voices->currentData().toString());
    fillVoices();
    remember();
}

bool VoiceControls::selectVoice(const QString &voice) {
    if (!m_picker.catalogue().contains(voice))
        return false;
    m_picker.search(QString());
    m_widgets.search->clear();
    m_picker.restore(m_picker.catalogue().languageOf(voice), voice);
    fillLanguages();
    return true;
}

void VoiceControls::searchChanged(const QString &text) {
    m_pendingVoice.clear();
    const bool found = m_picker.search(text);
    QPalette palette = m_widgets.search->palette();
    palette.setColor(QPalette::Text, found ? m_widgets.languages->palette().color(QPalette::Text)
                                           : QColor(0xb0, 0x00, 0x20));
    m_widgets.search->setPalette(palette);
    m_widgets.search->setToolTip(found ? QString() : tr("No language or voice matches."));
    if (found)
        fillLanguages();
}

void VoiceControls::favouriteToggled(bool favourite) {
    m_picker.setFavourite(m_picker.voice(), favourite);
    RememberedChoices::saveFavourites(m_picker.favourites());
    fillVoices();
}

void VoiceControls::remember() const {
    RememberedChoices choices;
    choices.language = m_picker.language();
    choices.voice = m_picker.voice();
    choices.pitch = m_widgets.pitch->value();
    choices.speed = m_widgets.speed->value();
    choices.save();
}

} // namespace parlino
