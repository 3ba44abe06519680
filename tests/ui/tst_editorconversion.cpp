#include "MainWindowController.h"
#include "Mp3Frames.h"
#include "ViewController.h"
#include "WidgetHelpers.h"
#include "editing/SSMLTextView.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "synthesis/cloud/NetAPIClicnet.h"
#include "synthesis/offline/OfflineSpeechEngine.h"
#include "widgets/MBProgressHUD.h"
#include "widgets/OfflineNotes.h"

#include <QComboBox>
#include <QDir>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace parlino;

// Convert in the editor: engine, overlay, folder question, file, alerts, and
// the offline voice's notes.
namespace {

// What the test's engines were asked, across every engine the editor made.
struct EngineLog {
    int made = 0;
    QList<QJsonObject> requests;
};

// Answers every request after a delay with the given audio or error.
class TimedEngine : public SpeechEngine {
public:
    TimedEngine(EngineLog *log, QByteArray audio, QString error)
        : m_log(log)
        , m_audio(std::move(audio))
        , m_error(std::move(error)) {}

    void synthesize(const QJsonObject &request, Completion done) override {
        m_log->requests << request;
        QTimer::singleShot(150, this, [this, done] { done(m_audio, m_error); });
    }

private:
    EngineLog *m_log;
    QByteArray m_audio;
    QString m_error;
};

// Answers the folder question at once and notes how it was asked.
class FakeChooser : public FolderChooser {
public:
    FakeChooser(const ViewController *view, QString folder)
        : m_view(view)
        , m_folder(std::move(folder)) {}

    QString chooseFolder(const QString &startFolder) override {
        startFolders << startFolder;
        overlayWhenAsked = MBProgressHUD::HUDForView(m_view) != nullptr;
        return m_folder;
    }

    QStringList startFolders;
    bool overlayWhenAsked = true;

private:
    const ViewController *m_view;
    QString m_folder;
};

const QByteArray fakeAudio = QByteArrayLiteral("ID3 not really an mp3");

void pickEngine(ViewController *view, const QString &engine) {
    QComboBox *engines = view->enginePopBtn();
    pick(engines, engines->itemText(engines->findData(engine)));
}

// The overlays standing on the view, by their text.
QStringList overlays(const ViewController *view) {
    QStringList out;
    for (const MBProgressHUD *hud : view->findChildren<MBProgressHUD *>(Qt::FindDirectChildrenOnly))
        out << hud->labelText() + hud->detailsLabelText();
    return out;
}

QStringList filesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files);
}

} // namespace

class TestEditorConversion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void savesWithOverlayAndFolderQuestion();
    void failuresReachTheUser_data();
    void failuresReachTheUser();
    void secondConvertWhileBusyStartsNothing();
    void offlineNotesFollowEngineAndVoice_data();
    void offlineNotesFollowEngineAndVoice();
    void offlineEngineEndToEnd();
    void closingWhileSpeakingWritesNothing();

private:
    // Engines answering audio (or error) through the editor's provider.
    void useTimedEngines(const QByteArray &audio, const QString &error = QString());
    FakeChooser *useChooser(const QString &folder);
    void typeAndConvert(const QString &text);
    void waitUntilIdle();

    std::unique_ptr<MainWindowController> m_window;
    ViewController *m_view = nullptr;
    EngineLog m_log;
    QTemporaryDir m_folder;
};

void TestEditorConversion::initTestCase() {
    // No session bus: the keyring is unreachable, so a missing key is known at once.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QVERIFY(m_folder.isValid());
}

void TestEditorConversion::init() {
    Settings::remove(Settings::Key::SavePath);
    Settings::remove(Settings::Key::Engine);
    forgetVoiceChoices();
    m_log = EngineLog();
    m_window = std::make_unique<MainWindowController>();
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestEditorConversion::cleanup() {
    m_window.reset();
    for (const QString &name : filesIn(m_folder.path()))
        QFile::remove(m_folder.filePath(name));
    qunsetenv("PARLINO_API_KEY");
    qunsetenv("PARLINO_ENDPOINT");
}

void TestEditorConversion::useTimedEngines(const QByteArray &audio, const QString &error) {
    m_view->setEngineProvider([this, audio, error](SpeechEngineFactory::Kind, QString *) {
        ++m_log.made;
        return std::make_unique<TimedEngine>(&m_log, audio, error);
    });
}

FakeChooser *TestEditorConversion::useChooser(const QString &folder) {
    auto chooser = std::make_unique<FakeChooser>(m_view, folder);
    FakeChooser *raw = chooser.get();
    m_view->setFolderChooser(std::move(chooser));
    return raw;
}

void TestEditorConversion::typeAndConvert(const QString &text) {
    QTest::keyClicks(m_view->textView(), text);
    // The shortcut animates a click that lands 100 ms later; the mouse acts at once.
    QTest::mouseClick(m_view->convertButton(), Qt::LeftButton);
}

void TestEditorConversion::waitUntilIdle() {
    QTRY_VERIFY(!m_view->isConverting());
    QVERIFY(m_view->convertButton()->isEnabled());
}

void TestEditorConversion::savesWithOverlayAndFolderQuestion() {
    useTimedEngines(fakeAudio);
    FakeChooser *chooser = useChooser(m_folder.path());
    Settings::setValue(Settings::Key::SavePath, QStringLiteral("/last/folder"));
    pick(m_view->languagesPopBtn(), QStringLiteral("English (UK)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("en-GB-Standard-C"));
    m_view->pitchSlider()->setValue(-4);
    m_view->speedSlider()->setValue(125);

    typeAndConvert(QStringLiteral("Good morning"));
    QVERIFY(m_view->isConverting());
    QVERIFY(!m_view->convertButton()->isEnabled());
    QVERIFY(overlays(m_view).contains(QStringLiteral("Loading...")));

    QTRY_COMPARE(chooser->startFolders, QStringList{"/last/folder"});
    QVERIFY2(!chooser->overlayWhenAsked, "the overlay is gone before the folder question");
    waitUntilIdle();
    const QStringList files = filesIn(m_folder.path());
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression("^Parlino\\d{17}\\.mp3$").match(files.first()).hasMatch(),
             qPrintable(files.first()));
    QFile file(m_folder.filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), fakeAudio);
    QCOMPARE(Settings::value(Settings::Key::SavePath).toString(), m_folder.path());
    QVERIFY(!m_view->openAlert());
    QTRY_VERIFY(overlays(m_view).isEmpty());

    QCOMPARE(m_log.requests.size(), 1);
    const QJsonObject request = m_log.requests.first();
    QCOMPARE(request["voice"]["name"].toString(), QStringLiteral("en-GB-Standard-C"));
    QCOMPARE(request["input"]["text"].toString(), QStringLiteral("Good morning"));
    QCOMPARE(request["audioConfig"]["pitch"].toInt(), -4);
    QCOMPARE(request["audioConfig"]["speakingRate"].toString(), QStringLiteral("1.25"));
}

enum class Failure { Engine, NoKey, Write, NetworkDown, Cancelled, NoVoice };

void TestEditorConversion::failuresReachTheUser_data() {
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("alert");   // a part of the alert's text; empty: no alert
    QTest::addColumn<QString>("overlay"); // what stays on the view; empty: nothing
    QTest::addColumn<int>("asked");       // requests the engine saw
    QTest::newRow("engine error") << Failure::Engine << "The voice is hoarse."
                                  << "" << 1;
    QTest::newRow("no key for the cloud engine") << Failure::NoKey << "No API key"
                                                 << "" << 0;
    QTest::newRow("file error") << Failure::Write << "the folder does not exist"
                                << "" << 1;
    QTest::newRow("network known down, brief message only") << Failure::NetworkDown << ""
                                                            << "No Network" << 0;
    QTest::newRow("cancelled folder question is silent") << Failure::Cancelled << ""
                                                         << "" << 1;
    QTest::newRow("language without voices refused") << Failure::NoVoice << "no voice"
                                                     << "" << 0;
}

void TestEditorConversion::failuresReachTheUser() {
    QFETCH(Failure, failure);
    QFETCH(QString, alert);
    QFETCH(QString, overlay);
    QFETCH(int, asked);
    NetAPIClicnet downClient;
    downClient.setReachabilityProbe([](const QUrl &) { return Reachability::Down; });
    QString folder = m_folder.path();
    if (failure != Failure::NoKey)
        useTimedEngines(fakeAudio, failure == Failure::Engine ? "The voice is hoarse." : "");
    if (failure == Failure::NoKey) {
        qputenv("PARLINO_ENDPOINT", "http://127.0.0.1:1");
    } else if (failure == Failure::Write) {
        folder = m_folder.filePath(QStringLiteral("gone"));
    } else if (failure == Failure::Cancelled) {
        folder.clear();
    } else if (failure == Failure::NoVoice) {
        pick(m_view->languagesPopBtn(), QStringLiteral("Welsh"));
    } else if (failure == Failure::NetworkDown) {
        m_view->setEngineProvider([&downClient](SpeechEngineFactory::Kind, QString *) {
            return std::make_unique<CloudSpeechEngine>(QUrl("https://tts.example"), "key",
                                                       &downClient);
        });
    }
    pickEngine(m_view, QStringLiteral("cloud"));
    useChooser(folder);

    typeAndConvert(QStringLiteral("Hello"));
    waitUntilIdle();
    QCOMPARE(m_view->openAlert() != nullptr, !alert.isEmpty());
    if (!alert.isEmpty())
        QVERIFY2(m_view->openAlert()->text().contains(alert, Qt::CaseInsensitive),
                 qPrintable(m_view->openAlert()->text()));
    QTRY_COMPARE(overlays(m_view), overlay.isEmpty() ? QStringList() : QStringList{overlay});
    QVERIFY(filesIn(m_folder.path()).isEmpty());
    QVERIFY(Settings::value(Settings::Key::SavePath).toString().isEmpty());
    QCOMPARE(m_log.requests.size(), asked);
}

void TestEditorConversion::secondConvertWhileBusyStartsNothing() {
    useTimedEngines(fakeAudio);
    useChooser(m_folder.path());
    typeAndConvert(QStringLiteral("Once"));
    QVERIFY(m_view->isConverting());
    QTest::keyClick(m_view->textView(), Qt::Key_Return, Qt::ControlModifier);
    m_view->convertBtnClick(); // a request that bypasses the disabled button
    QVERIFY(overlays(m_view).contains(QStringLiteral("A conversion is already running.")));
    waitUntilIdle();
    // The loading overlay goes although the brief message stood on top of it.
    QTRY_VERIFY(!overlays(m_view).contains(QStringLiteral("Loading...")));
    QCOMPARE(m_log.made, 1);
    QCOMPARE(filesIn(m_folder.path()).size(), 1);

    // Afterwards Convert works again.
    QTest::mouseClick(m_view->convertButton(), Qt::LeftButton);
    waitUntilIdle();
    QCOMPARE(m_log.requests.size(), 2);
    QCOMPARE(filesIn(m_folder.path()).size(), 2);
}

void TestEditorConversion::offlineNotesFollowEngineAndVoice_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<QString>("range"); // empty: the notes are hidden
    QTest::addColumn<QString>("voiceNote");
    const QString reach =
        QStringLiteral("Offline voice: pitch −6.3 to +8.8 semitones, speed 46% to 400%");
    QTest::newRow("offline, Filipino read by Indonesian")
        << QString("offline") << "Filipino (Philippines)" << 0 << reach
        << "eSpeak NG has no Filipino voice: Indonesian reads it.";
    QTest::newRow("offline, pitch beyond reach")
        << QString("offline") << "English (US)" << -12 << reach + " (pitch −12 sounds as −6.3)"
        << "";
    QTest::newRow("cloud, Filipino")
        << QString("cloud") << "Filipino (Philippines)" << 0 << QString() << "";
}

void TestEditorConversion::offlineNotesFollowEngineAndVoice() {
    QFETCH(QString, engine);
    QFETCH(QString, language);
    QFETCH(int, pitch);
    QFETCH(QString, range);
    QFETCH(QString, voiceNote);
    // Start from the other engine, so the rows see the notes change.
    pickEngine(m_view, engine == "offline" ? "cloud" : "offline");
    pick(m_view->languagesPopBtn(), language);
    m_view->pitchSlider()->setValue(pitch);
    pickEngine(m_view, engine);
    QCOMPARE(m_view->offlineNotes()->isVisible(), !range.isEmpty());
    if (range.isEmpty())
        return;
    QCOMPARE(m_view->offlineNotes()->rangeNote()->text(), range);
    QCOMPARE(m_view->offlineNotes()->voiceNote()->isVisible(), !voiceNote.isEmpty());
    QCOMPARE(m_view->offlineNotes()->voiceNote()->text(), voiceNote);
    // Back to a language eSpeak has: the substitution note goes away.
    pick(m_view->languagesPopBtn(), QStringLiteral("German (Germany)"));
    QVERIFY(!m_view->offlineNotes()->voiceNote()->isVisible());
}

void TestEditorConversion::offlineEngineEndToEnd() {
    useChooser(m_folder.path());
    pickEngine(m_view, QStringLiteral("offline"));
    pick(m_view->languagesPopBtn(), QStringLiteral("English (US)"));
    typeAndConvert(QStringLiteral("Hello there."));
    // Convert returned while eSpeak works on its own thread.
    QVERIFY(m_view->isConverting());
    QVERIFY(overlays(m_view).contains(QStringLiteral("Loading...")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_view->isConverting(), 20000);
    QVERIFY2(!m_view->openAlert(),
             m_view->openAlert() ? qPrintable(m_view->openAlert()->text()) : "");
    const QStringList files = filesIn(m_folder.path());
    QCOMPARE(files.size(), 1);
    QFile file(m_folder.filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const Mp3Frames mp3 = Mp3Frames::read(file.readAll());
    QVERIFY2(mp3.valid, qPrintable(mp3.problem));
    QVERIFY(mp3.mono);
    QCOMPARE(mp3.sampleRate, 22050);
    QVERIFY2(mp3.taggedSeconds() > 0.4 && mp3.taggedSeconds() < 3.0,
             qPrintable(QString::number(mp3.taggedSeconds())));
}

void TestEditorConversion::closingWhileSpeakingWritesNothing() {
    useChooser(m_folder.path()); // destroyed with the window, and never asked
    pickEngine(m_view, QStringLiteral("offline"));
    pick(m_view->languagesPopBtn(), QStringLiteral("English (US)"));
    typeAndConvert(QStringLiteral("Goodbye."));
    QVERIFY(m_view->isConverting());
    m_window.reset();
    // eSpeak's thread takes requests in order: once a later one has been
    // answered, the abandoned one has ended too, and its result went nowhere.
    OfflineSpeechEngine later;
    bool answered = false;
    later.synthesize(
        QJsonObject{{"input", QJsonObject{{"text", "Hi"}}},
                    {"voice", QJsonObject{{"languageCode", "en-US"}, {"name", "en-US-Standard-B"}}},
                    {"audioConfig", QJsonObject{{"audioEncoding", "MP3"}}}},
        [&answered](const QByteArray &, const QString &) { answered = true; });
    QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
    QCoreApplication::processEvents();
    QVERIFY(filesIn(m_folder.path()).isEmpty());
}

QTEST_MAIN(TestEditorConversion)
#include "tst_editorconversion.moc"
