#include "FakeSynthesisService.h"
#include "MainWindowController.h"
#include "PreferencesDialog.h"
#include "SpanBuilders.h"
#include "ViewController.h"
#include "VoiceControls.h"
#include "WidgetHelpers.h"
#include "catalogue/LiveVoices.h"
#include "editing/NotificationCenter.h"
#include "editing/SSMLTextView.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace parlino;

// The main window's controls, the pop-ups, the alert and Convert.
namespace {

QStringList items(const QComboBox *combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

// Answers at once with a few bytes.
class QuickEngine : public SpeechEngine {
public:
    void synthesize(const QJsonObject &, Completion done) override {
        QTimer::singleShot(0, this, [done] { done(QByteArrayLiteral("mp3"), QString()); });
    }
};

void pickEngine(ViewController *view, const QString &engine) {
    QComboBox *engines = view->enginePopBtn();
    pick(engines, engines->itemText(engines->findData(engine)));
}

VoiceInfo voice(const QString &name, const QString &gender) {
    VoiceInfo info;
    info.name = name;
    info.gender = gender;
    info.languageCodes = {name.section(u'-', 0, 1)};
    return info;
}

// The user cancels the folder question.
class CancellingChooser : public FolderChooser {
public:
    QString chooseFolder(const QString &) override { return QString(); }
};

} // namespace

class TestMainView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void popUpsAtStartUp();
    void languageChangeRefillsVoices_data();
    void languageChangeRefillsVoices();
    void sameLanguageAgainResetsVoice();
    void styleSegmentRefreshesVoices();
    void effectsSelectorHidesAndShowsPanel();
    void convertRefusesEmptyText();
    void convertAssemblesAndLogs();
    void alertLogsWhenOkCloses();
    void destroyedViewReceivesNoNotification();
    void documentRoundTrip();
    void engineChoiceIsRemembered();
    void voiceChoicesAreRemembered();
    void findAVoiceInTheServiceList();
    void serviceListArrivesAfterStartUp();
    void refreshVoicesFromPreferences();

private:
    std::unique_ptr<MainWindowController> m_window;
    ViewController *m_view = nullptr;
    QTemporaryDir m_cache;
};

void TestMainView::initTestCase() {
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestMainView::init() {
    forgetVoiceChoices();
    m_window = std::make_unique<MainWindowController>();
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainView::cleanup() {
    m_window.reset();
    QLoggingCategory::setFilterRules(QString());
}

void TestMainView::popUpsAtStartUp() {
    QCOMPARE(m_view->languagesPopBtn()->currentText(), QStringLiteral("Arabic"));
    QCOMPARE(m_view->selectedVoice(), QStringLiteral("ar-XA-Standard-A"));
    // The cloud voice without a key lists the built-in table.
    pickEngine(m_view, QStringLiteral("cloud"));
    const QStringList languages = items(m_view->languagesPopBtn());
    QCOMPARE(languages.size(), 37);
    QCOMPARE(languages.first(), QStringLiteral("Arabic"));
    QCOMPARE(languages.last(), QStringLiteral("Welsh"));
    QVERIFY(languages.indexOf("Spanish (Mexican)") < languages.indexOf("Spanish (Spain)"));
    QCOMPARE(m_view->languagesPopBtn()->currentText(), QStringLiteral("Arabic"));
    QCOMPARE(items(m_view->voicesStylePopBtn()),
             (QStringList{"ar-XA-Standard-A", "ar-XA-Standard-B", "ar-XA-Standard-C"}));
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), QStringLiteral("ar-XA-Standard-A"));
    Settings::remove(Settings::Key::Engine);
}

void TestMainView::languageChangeRefillsVoices_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("voices");
    QTest::addColumn<QString>("selected");
    QTest::newRow("English (US)") << "cloud"
                                  << "English (US)" << 4 << "en-US-Standard-B";
    QTest::newRow("Dutch") << "offline"
                           << "Dutch (Netherlands)" << 5 << "nl-NL-Standard-A";
    QTest::newRow("Welsh has no cloud voice") << "cloud"
                                              << "Welsh" << 0 << "";
    QTest::newRow("Welsh offline") << "offline"
                                   << "Welsh" << 5 << "cy-eSpeak-A (male)";
    QTest::newRow("Catalan, offline only") << "offline"
                                           << "Catalan" << 5 << "ca-eSpeak-A (male)";
}

void TestMainView::languageChangeRefillsVoices() {
    QFETCH(QString, engine);
    QFETCH(QString, language);
    QFETCH(int, voices);
    QFETCH(QString, selected);
    pickEngine(m_view, engine);
    // eSpeak's languages arrive from the background.
    QTRY_VERIFY(engine == "cloud" || m_view->languagesPopBtn()->count() > 100);
    pick(m_view->languagesPopBtn(), language);
    QCOMPARE(m_view->voicesStylePopBtn()->count(), voices);
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), selected);
    QCOMPARE(m_view->voicesStylePopBtn()->currentIndex(), voices ? 0 : -1);
    Settings::remove(Settings::Key::Engine);
}

void TestMainView::sameLanguageAgainResetsVoice() {
    pick(m_view->languagesPopBtn(), QStringLiteral("English (UK)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("en-GB-Standard-C"));
    // Pick the same language through its list, which reports even an unchanged choice.
    QComboBox *languages = m_view->languagesPopBtn();
    languages->showPopup();
    QAbstractItemView *list = languages->view();
    QTRY_VERIFY(list->isVisible());
    const QRect item = list->visualRect(list->model()->index(languages->currentIndex(), 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_COMPARE(m_view->voicesStylePopBtn()->currentText(), QStringLiteral("en-GB-Standard-A"));
}

void TestMainView::styleSegmentRefreshesVoices() {
    pick(m_view->languagesPopBtn(), QStringLiteral("German (Germany)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("de-DE-Standard-B"));
    SegmentedControl *segment = m_view->voicesStyleSegment();
    QTest::mouseClick(segment->findChildren<QAbstractButton *>().constFirst(), Qt::LeftButton);
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), QStringLiteral("de-DE-Standard-A"));
    QCOMPARE(m_view->voicesStylePopBtn()->count(), 2);
}

void TestMainView::effectsSelectorHidesAndShowsPanel() {
    QComboBox *selector = m_view->effectsSelector();
    QVERIFY(m_view->effectsView()->isVisible());
    for (int item : {0, 0, 1}) {
        pick(selector, selector->itemText(item));
        QCOMPARE(m_view->effectsView()->isVisible(), item == 1);
    }
}

void TestMainView::convertRefusesEmptyText() {
    QSignalSpy requested(m_view, &ViewController::conversionRequested);
    QTest::mouseClick(m_view->convertButton(), Qt::LeftButton);
    QVERIFY(m_view->openAlert());
    QCOMPARE(m_view->openAlert()->text(), QStringLiteral("Text not empty!"));
    QCOMPARE(requested.size(), 0);
}

void TestMainView::convertAssemblesAndLogs() {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.app.debug=true"));
    loadText(m_view, QStringLiteral("Hi you"), {span(3, 6)});
    m_view->setEngineProvider(
        [](SpeechEngineFactory::Kind, QString *) { return std::make_unique<QuickEngine>(); });
    m_view->setFolderChooser(std::make_unique<CancellingChooser>());
    QSignalSpy requested(m_view, &ViewController::conversionRequested);
    const QString ssml =
        QStringLiteral("<speak>Hi <emphasis level='strong'>you</emphasis></speak>");
    QTest::ignoreMessage(QtDebugMsg, qPrintable(ssml));
    QTest::keyClick(m_view->textView(), Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(requested.size(), 1);
    QCOMPARE(m_view->ssmlString(), ssml);
    QCOMPARE(requested.first().at(0).toString(), ssml);
    QCOMPARE(requested.first().at(1).toString(), m_view->selectedEngine());
    QTRY_VERIFY(!m_view->isConverting());
    QVERIFY(!m_view->openAlert());
}

void TestMainView::alertLogsWhenOkCloses() {
    QLoggingCategory::setFilterRules(QStringLiteral("parlino.app.debug=true"));
    m_view->showAlert(QStringLiteral("Message"), 1);
    QPointer<QMessageBox> alert = m_view->openAlert();
    QVERIFY(alert);
    QTRY_VERIFY(alert->isVisible()); // opened without blocking
    QCOMPARE(alert->buttons().size(), 1);
    QCOMPARE(alert->buttons().constFirst()->text(), QStringLiteral("OK"));
    QTest::ignoreMessage(QtDebugMsg, "确定");
    QTest::keyClick(alert, Qt::Key_Return);
    QTRY_VERIFY(alert.isNull());
}

void TestMainView::destroyedViewReceivesNoNotification() {
    const int before = NotificationCenter::defaultCenter().observerCount();
    m_window.reset();
    QCOMPARE(NotificationCenter::defaultCenter().observerCount(), before - 3);
    NotificationCenter::defaultCenter().post(QStringLiteral("DeleteEffects"), {});
}

void TestMainView::documentRoundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.json"));
    QTest::keyClicks(m_view->textView(), "Hello");
    pick(m_view->languagesPopBtn(), QStringLiteral("French (France)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("fr-FR-Standard-C"));
    m_view->speedSlider()->setValue(150);
    QVERIFY(m_window->saveDocument(path));
    QVERIFY(m_window->windowTitle().contains(QStringLiteral("doc.json")));

    MainWindowController other;
    QVERIFY(other.openDocument(path));
    ViewController *view = other.viewController();
    QCOMPARE(view->textView()->toPlainText(), QStringLiteral("Hello"));
    QCOMPARE(view->languagesPopBtn()->currentText(), QStringLiteral("French (France)"));
    QCOMPARE(view->voicesStylePopBtn()->currentText(), QStringLiteral("fr-FR-Standard-C"));
    QCOMPARE(view->speedSlider()->value(), 150);
    QCOMPARE(view->charactersCount()->text(), QStringLiteral("(1words 5characters)"));
    QVERIFY(!view->textView()->document()->isUndoAvailable());
}

void TestMainView::engineChoiceIsRemembered() {
    QComboBox *engines = m_view->enginePopBtn();
    for (const QString &engine : {QStringLiteral("cloud"), QStringLiteral("offline")}) {
        pick(engines, engines->itemText(engines->findData(engine)));
        QCOMPARE(m_view->selectedEngine(), engine);
        QCOMPARE(Settings::value(Settings::Key::Engine).toString(), engine);
        MainWindowController next;
        QCOMPARE(next.viewController()->selectedEngine(), engine);
    }
    Settings::remove(Settings::Key::Engine);
}

// A launch starts with the language, voice, pitch and speed used last.
void TestMainView::voiceChoicesAreRemembered() {
    pick(m_view->languagesPopBtn(), QStringLiteral("French (France)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("fr-FR-Standard-C"));
    m_view->pitchSlider()->setValue(-4);
    m_view->speedSlider()->setValue(150);
    m_window.reset();
    MainWindowController next;
    const ViewController *view = next.viewController();
    QCOMPARE(view->languagesPopBtn()->currentText(), QStringLiteral("French (France)"));
    QCOMPARE(view->selectedVoice(), QStringLiteral("fr-FR-Standard-C"));
    QCOMPARE(view->pitchSlider()->value(), -4);
    QCOMPARE(view->speedSlider()->value(), 150);
}

// The service's list in the editor: families in the style segment, genders,
// favourites first, search, and the note on what a Chirp 3: HD voice ignores.
void TestMainView::findAVoiceInTheServiceList() {
    const QUrl endpoint = CloudSpeechEngine::configuredEndpoint();
    QVERIFY(VoiceCache().write(
        {QDateTime::currentDateTimeUtc(),
         endpoint,
         {voice("de-DE-Neural2-A", "FEMALE"), voice("de-DE-Neural2-B", "MALE"),
          voice("de-DE-Standard-A", "FEMALE"), voice("en-US-Chirp3-HD-Kore", "FEMALE")}}));
    pickEngine(m_view, QStringLiteral("cloud"));
    QVERIFY(m_view->voiceControls()->liveVoices()->useCache(endpoint));
    pick(m_view->languagesPopBtn(), QStringLiteral("German (Germany)"));
    SegmentedControl *families = m_view->voicesStyleSegment();
    QCOMPARE(families->titles(), (QStringList{"All", "Neural2", "Standard"}));
    QTest::mouseClick(families->findChildren<QAbstractButton *>().at(1), Qt::LeftButton);
    QCOMPARE(items(m_view->voicesStylePopBtn()),
             (QStringList{"de-DE-Neural2-A (female)", "de-DE-Neural2-B (male)"}));

    pick(m_view->voicesStylePopBtn(), QStringLiteral("de-DE-Neural2-B (male)"));
    QTest::mouseClick(m_view->favouriteButton(), Qt::LeftButton);
    QCOMPARE(items(m_view->voicesStylePopBtn()).first(),
             QStringLiteral("\u2605 de-DE-Neural2-B (male)"));
    QCOMPARE(m_view->selectedVoice(), QStringLiteral("de-DE-Neural2-B"));

    QVERIFY(m_view->voiceNote()->isHidden());
    QTest::keyClicks(m_view->voiceSearchField(), "chirp3 female");
    QCOMPARE(m_view->languagesPopBtn()->currentText(), QStringLiteral("English (US)"));
    QCOMPARE(m_view->selectedVoice(), QStringLiteral("en-US-Chirp3-HD-Kore"));
    QVERIFY(m_view->voiceNote()->isVisible());
    QVERIFY(m_view->voiceNote()->text().contains("pitch"));
    Settings::remove(Settings::Key::Engine);
}

// With a key the window opens with the built-in list; the service's list
// follows from the background and is cached for the next launch.
void TestMainView::serviceListArrivesAfterStartUp() {
    m_window.reset();
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setReply(FakeSynthesisService::voicesReply(300));
    qputenv("PARLINO_API_KEY", "AIzaStartUpKey");
    qputenv("PARLINO_ENDPOINT", service.baseUrl().toEncoded());
    Settings::setValue(Settings::Key::Engine, QStringLiteral("cloud"));
    // Remembered from the service's list, so chosen once that list is read.
    Settings::setValue(Settings::Key::Language, QStringLiteral("Romanian"));
    Settings::setValue(Settings::Key::Voice, QStringLiteral("ro-RO-Neural2-A"));
    m_window = std::make_unique<MainWindowController>();
    m_view = m_window->viewController();
    QCOMPARE(m_view->languagesPopBtn()->count(), 37);
    QCOMPARE(service.requests().size(), 0);
    m_window->show();
    QTRY_COMPARE(m_view->languagesPopBtn()->count(), 37 + 2); // Catalan (Spain), Chinese (China)
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(service.requests().first().url.path(), QStringLiteral("/v1/voices"));
    QCOMPARE(m_view->selectedVoice(), QStringLiteral("ro-RO-Neural2-A"));
    pick(m_view->languagesPopBtn(), QStringLiteral("Romanian"));
    QCOMPARE(m_view->voicesStyleSegment()->count(), 7);
    QVERIFY(QFile::exists(VoiceCache::defaultPath()));
    qunsetenv("PARLINO_API_KEY");
    qunsetenv("PARLINO_ENDPOINT");
    Settings::remove(Settings::Key::Engine);
}

// Preferences' "Refresh voices" asks for the list and says how it went.
void TestMainView::refreshVoicesFromPreferences() {
    QAction *preferences = nullptr;
    for (QAction *action : m_window->findChildren<QAction *>())
        preferences = action->menuRole() == QAction::PreferencesRole ? action : preferences;
    QVERIFY(preferences);
    preferences->trigger();
    auto *dialog = m_window->findChild<PreferencesDialog *>();
    QVERIFY(dialog);
    auto *refresh = dialog->findChild<QPushButton *>(QStringLiteral("refreshVoicesButton"));
    QTest::mouseClick(refresh, Qt::LeftButton);
    QVERIFY(!refresh->isEnabled());
    // No key here, so the service cannot be asked.
    QTRY_VERIFY(refresh->isEnabled());
    const auto labels = dialog->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.cbegin(), labels.cend(), [](const QLabel *label) {
        return label->text().startsWith(QStringLiteral("Not refreshed: No API key"));
    }));
    dialog->close();
}

QTEST_MAIN(TestMainView)
#include "tst_mainview.moc"
