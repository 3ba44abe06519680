#include "PreferencesDialog.h"

#include "settings/ApiKeyStore.h"
#include "settings/Settings.h"
#include "synthesis/CloudModule.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace parlino {

namespace {

QString keyringNoteText() {
    QString text;
    if (!ApiKeyStore::environmentKey().isEmpty())
        text = QObject::tr("PARLINO_API_KEY is set in the environment and is used instead of a "
                           "key entered here.") +
               u' ';
    if (!ApiKeyStore::keyringSupported())
        text += QObject::tr("No keyring is available: a key entered here lasts for this session "
                            "only and is never written to a file.");
    else
        text += QObject::tr("The key is kept in the desktop keyring, never in a file.");
    return text;
}

} // namespace

PreferencesDialog::PreferencesDialog(QWidget *parent)
    : QDialog(parent)
    , m_apiKeyEdit(new QLineEdit(this))
    , m_endpointEdit(new QLineEdit(this))
    , m_engineBox(new QComboBox(this))
    , m_twentyFourHourBox(new QCheckBox(tr("24-hour time"), this))
    , m_subtitlesBox(new QComboBox(this))
    , m_keyringNote(new QLabel(keyringNoteText(), this))
    , m_statusLabel(new QLabel(this))
    , m_saveButton(new QPushButton(tr("Save"), this))
    , m_forgetKeyButton(new QPushButton(tr("Forget Key"), this))
    , m_refreshVoicesButton(new QPushButton(tr("Refresh voices"), this))
    , m_voicesStatus(new QLabel(this)) {
    setWindowTitle(tr("Preferences"));
    m_apiKeyEdit->setObjectName(QStringLiteral("apiKeyEdit"));
    m_endpointEdit->setObjectName(QStringLiteral("endpointEdit"));
    m_engineBox->setObjectName(QStringLiteral("engineBox"));
    m_twentyFourHourBox->setObjectName(QStringLiteral("twentyFourHourBox"));
    m_twentyFourHourBox->setToolTip(
        tr("New Time effects read the time on the 24-hour clock (14:30 as fourteen thirty)."));
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));

    m_apiKeyEdit->setEchoMode(QLineEdit::Password);
    m_apiKeyEdit->setPlaceholderText(tr("unchanged"));
    if (const CloudModule *cloud = CloudModule::get())
        m_endpointEdit->setPlaceholderText(cloud->defaultEndpoint().toString());
    m_keyringNote->setWordWrap(true);
    m_statusLabel->setWordWrap(true);

    m_engineBox->addItem(tr("Automatic"), QString());
    m_engineBox->addItem(tr("Cloud (Google Text-to-Speech)"),
                         SpeechEngineFactory::name(SpeechEngineFactory::Kind::Cloud));
    m_engineBox->addItem(tr("Offline (eSpeak NG)"),
                         SpeechEngineFactory::name(SpeechEngineFactory::Kind::Offline));
    if (!SpeechEngineFactory::offlineAvailable()) {
        if (auto *model = qobject_cast<QStandardItemModel *>(m_engineBox->model()))
            model->item(2)->setEnabled(false);
    }

    auto *form = new QFormLayout;
    form->addRow(tr("API key"), m_apiKeyEdit);
    form->addRow(QString(), m_keyringNote);
    form->addRow(tr("Service address"), m_endpointEdit);
    form->addRow(tr("Speech engine"), m_engineBox);
    m_refreshVoicesButton->setObjectName(QStringLiteral("refreshVoicesButton"));
    m_refreshVoicesButton->setToolTip(tr("Ask the cloud service for its current list of voices"));
    m_refreshVoicesButton->setAutoDefault(false);
    m_voicesStatus->setWordWrap(true);
    auto *voicesRow = new QHBoxLayout;
    voicesRow->addWidget(m_refreshVoicesButton);
    voicesRow->addWidget(m_voicesStatus, 1);
    form->addRow(tr("Cloud voices"), voicesRow);
    form->addRow(tr("Time effect"), m_twentyFourHourBox);
    m_subtitlesBox->setObjectName(QStringLiteral("subtitlesBox"));
    m_subtitlesBox->addItem(tr("No"), QString());
    m_subtitlesBox->addItem(tr("SubRip (.srt)"), QStringLiteral("srt"));
    m_subtitlesBox->addItem(tr("WebVTT (.vtt)"), QStringLiteral("vtt"));
    m_subtitlesBox->setToolTip(tr("Convert writes subtitles beside the MP3 file"));
    form->addRow(tr("Write subtitles"), m_subtitlesBox);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_saveButton, QDialogButtonBox::ApplyRole);
    buttons->addButton(m_forgetKeyButton, QDialogButtonBox::ResetRole);
    m_saveButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_statusLabel);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_saveButton, &QPushButton::clicked, this, &PreferencesDialog::apply);
    connect(m_forgetKeyButton, &QPushButton::clicked, this, &PreferencesDialog::forgetKey);
    connect(m_refreshVoicesButton, &QPushButton::clicked, this, [this] {
        m_refreshVoicesButton->setEnabled(false);
        m_voicesStatus->setText(tr("Asking the service…"));
        emit refreshVoicesRequested();
    });
    loadFields();
}

void PreferencesDialog::voicesRefreshed(const QString &error) {
    m_refreshVoicesButton->setEnabled(true);
    m_voicesStatus->setText(error.isEmpty() ? tr("The voice list is up to date.")
                                            : tr("Not refreshed: %1").arg(error));
}

void PreferencesDialog::loadFields() {
    m_endpointEdit->setText(Settings::value(Settings::Key::Endpoint).toString());
    const int engine = m_engineBox->findData(Settings::value(Settings::Key::Engine).toString());
    m_engineBox->setCurrentIndex(engine < 0 ? 0 : engine);
    m_twentyFourHourBox->setChecked(Settings::value(Settings::Key::TwentyFourHourTime).toBool());
    const int subtitles =
        m_subtitlesBox->findData(Settings::value(Settings::Key::Subtitles).toString());
    m_subtitlesBox->setCurrentIndex(subtitles < 0 ? 0 : subtitles);
}

QString PreferencesDialog::statusText() const {
    return m_statusLabel->text();
}

void PreferencesDialog::setStatus(const QString &text) {
    m_statusLabel->setText(text);
}

void PreferencesDialog::apply() {
    const QString endpoint = m_endpointEdit->text().trimmed();
    if (!endpoint.isEmpty()) {
        QString problem;
        if (const CloudModule *cloud = CloudModule::get(&problem))
            problem = cloud->endpointProblem(endpoint);
        if (!problem.isEmpty()) {
            setStatus(problem);
            return;
        }
    }
    const QString key = m_apiKeyEdit->text().trimmed();
    // A new key while the engine is left to Parlino: the user means to speak
    // with the cloud voice. Stored as a choice, because a key in the keyring
    // cannot be seen at start-up without waiting for the keyring.
    QString switched;
    const QString cloud = SpeechEngineFactory::name(SpeechEngineFactory::Kind::Cloud);
    if (!key.isEmpty() && m_engineBox->currentData().toString().isEmpty()) {
        m_engineBox->setCurrentIndex(m_engineBox->findData(cloud));
        switched = u' ' + tr("Convert now speaks with the cloud voice.");
    }
    QString error;
    if (!Settings::setValue(Settings::Key::Endpoint, endpoint, &error) ||
        !Settings::setValue(Settings::Key::Engine, m_engineBox->currentData(), &error) ||
        !Settings::setValue(Settings::Key::TwentyFourHourTime,
                            m_twentyFourHourBox->isChecked() ? QStringLiteral("true")
                                                             : QStringLiteral("false"),
                            &error) ||
        !Settings::setValue(Settings::Key::Subtitles, m_subtitlesBox->currentData(), &error)) {
        setStatus(tr("Could not save the settings: %1").arg(error));
        return;
    }

    if (key.isEmpty()) {
        setStatus(tr("Saved."));
        emit saved();
        return;
    }
    m_saveButton->setEnabled(false);
    ApiKeyStore::store(this, key, [this, switched](bool inKeyring, const QString &keyringError) {
        m_saveButton->setEnabled(true);
        m_apiKeyEdit->clear();
        if (inKeyring)
            setStatus(tr("Saved. The key is stored in the desktop keyring.") + switched);
        else
            setStatus(tr("Saved. No keyring is available (%1): the key lasts for this session "
                         "only and is not written to any file.")
                          .arg(keyringError) +
                      switched);
        emit saved();
    });
}

void PreferencesDialog::forgetKey() {
    m_forgetKeyButton->setEnabled(false);
    ApiKeyStore::forget(this, [this] {
        m_forgetKeyButton->setEnabled(true);
        setStatus(tr("The key is forgotten."));
        emit saved();
    });
}

} // namespace parlino
