#include "FakeSynthesisService.h"
#include "MainWindowController.h"
#include "PreferencesDialog.h"
#include "SpanBuilders.h"
#include "ToneMp3.h"
#include "ViewController.h"
#include "VoiceControls.h"
#include "WidgetHelpers.h"
#include "catalogue/LiveVoices.h"
#include "editing/NotificationCenter.h"
#include "editing/PopoverViewController.h"
#include "editing/SSMLTextView.h"
#include "editing/Stepper.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "widgets/DeferredIconStyle.h"
#include "widgets/MBProgressHUD.h"
#include "widgets/OfflineNotes.h"
#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace parlino;

// The editor window driven by keys and mouse: the controls reach the session
// and what the session says reaches the controls, highlights, alerts and overlays.
namespace {

// Answers after a moment with a short MP3 or with the given error.
class TimedEngine : public SpeechEngine {
public:
    explicit TimedEngine(SpeechError error, int delayMs = 100)
        : m_error(std::move(error))
        , m_delayMs(delayMs) {}
    void synthesize(const QJsonObject &, Completion done) override {
        QTimer::singleShot(m_delayMs, this, [this, done] {
            done(m_error.isError() ? QByteArray() : toneMp3(0), m_error);
        });
    }

private:
    SpeechError m_error;
    int m_delayMs;
};

// Answers the folder question and notes whether the loading overlay still stood then.
class Chooser : public FolderChooser {
public:
    Chooser(const QWidget *view, QString folder)
        : m_view(view)
        , m_folder(std::move(folder)) {}
    QString chooseFolder(const QString &) override {
        loadingWhenAsked = false;
        for (const MBProgressHUD *hud : m_view->findChildren<MBProgressHUD *>())
            loadingWhenAsked |= hud->detailsLabelText() == "Loading..." && !hud->isHiding();
        return m_folder;
    }
    static QStringList overlays(const QWidget *view) {
        QStringList out;
        for (const MBProgressHUD *hud :
             view->findChildren<MBProgressHUD *>(Qt::FindDirectChildrenOnly)) {
            if (hud->isVisible())
                out << hud->labelText() + hud->detailsLabelText();
        }
        return out;
    }
    bool loadingWhenAsked = true;

private:
    const QWidget *m_view;
    QString m_folder;
};

QStringList items(const QComboBox *combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

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

PopoverViewController *openPopover() {
    return qobject_cast<PopoverViewController *>(QApplication::activePopupWidget());
}

} // namespace

class TestMainView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsReachTheSession();
    void effectButtonsAndPopover();
    void typingMovesHighlights_data();
    void typingMovesHighlights();
    void limitNoticeLosesNoKeys();
    void undoCoversEffectsAndValuesChangeAtTheCaret();
    void unsavedChangesAsk_data();
    void unsavedChangesAsk();
    void everyControlHasAName();
    void convertShowsOverlayThenReports();
    void documentAndEngineChoiceSurvive();
    void languagesOfTheEngine_data();
    void languagesOfTheEngine();
    void voiceChoicesAreRemembered();
    void findAVoiceInTheServiceList();
    void serviceListArrivesAfterStartUp();
    void refreshVoicesFromPreferences();
    void appStyleDrawsTheBaseStylesPixels();

private:
    void closePopover();
    void convertWith(const SpeechError &error, const QString &folder, int delayMs = 100);

    std::unique_ptr<MainWindowController> m_window;
    ViewController *m_view = nullptr;
    QTemporaryDir m_folder;
    QTemporaryDir m_cache;
};

void TestMainView::initTestCase() {
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestMainView::init() {
    Settings::remove(Settings::Key::Engine);
    forgetVoiceChoices();
    m_window = std::make_unique<MainWindowController>();
    m_view = m_window->viewController();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMainView::cleanup() {
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_window.reset();
    QLoggingCategory::setFilterRules(QString());
}

void TestMainView::closePopover() {
    openPopover()->close();
    // Offscreen, a closed pop-up leaves no window active, unlike a desktop.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(m_view->textView()->hasFocus());
}

void TestMainView::controlsReachTheSession() {
    EditorSession *session = m_view->session();
    pick(m_view->languagesPopBtn(), QStringLiteral("German (Germany)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("de-DE-Standard-B"));
    QCOMPARE(session->voice(), QStringLiteral("de-DE-Standard-B"));
    // The style segment lists the voices again and selects the first.
    QTest::mouseClick(m_view->voicesStyleSegment()->findChildren<QAbstractButton *>().first(),
                      Qt::LeftButton);
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), QStringLiteral("de-DE-Standard-A"));
    QCOMPARE(session->voice(), QStringLiteral("de-DE-Standard-A"));
    m_view->pitchSlider()->setFocus();
    QTest::keyClick(m_view->pitchSlider(), Qt::Key_Right);
    QCOMPARE(session->pitch(), 1);
    // The offline voice's notes follow the sliders and the voice.
    m_view->pitchSlider()->setValue(-12);
    QCOMPARE(m_view->offlineNotes()->rangeNote()->text(),
             QStringLiteral("Offline voice: pitch −6.3 to +8.8 semitones, speed 46% to 400% "
                            "(pitch −12 sounds as −6.3)"));
    // Heights asked at one width follow the note's text (they are remembered).
    QLabel *note = m_view->offlineNotes()->voiceNote();
    const auto freshHeight = [note](int width) {
        QLabel fresh(note->text());
        fresh.setFont(note->font());
        fresh.setWordWrap(true);
        return fresh.heightForWidth(width);
    };
    note->heightForWidth(90); // remembered for the note before
    pick(m_view->languagesPopBtn(), QStringLiteral("Filipino (Philippines)"));
    QCOMPARE(m_view->offlineNotes()->voiceNote()->text(),
             QStringLiteral("eSpeak NG has no Filipino voice: Indonesian reads it."));
    QCOMPARE(note->heightForWidth(90), freshHeight(90));
    pick(m_view->effectsSelector(), m_view->effectsSelector()->itemText(0));
    QVERIFY(!m_view->effectsView()->isVisible());
}

void TestMainView::effectButtonsAndPopover() {
    loadText(m_view, QStringLiteral("Call me at 10:30 now"));
    selectRange(m_view->textView(), 11, 16);
    QTest::mouseClick(m_view->effectButton(QStringLiteral("Volume")), Qt::LeftButton);
    QVERIFY(openPopover());
    QCOMPARE(openPopover()->type(), EffectKind::Volume);
    QVERIFY(m_view->effectsArray().isEmpty()); // nothing until the user chooses
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(openPopover()->popUpButton(), Qt::Key_Down);
    QCOMPARE(m_view->effectsArray().constFirst().ssmlTag, QStringLiteral("medium"));
    QCOMPARE(highlights(m_view->textView()), QStringList{"[11,16) #d5e9e2"});
    QTest::mouseClick(openPopover()->deleteButton(), Qt::LeftButton);
    QVERIFY(highlights(m_view->textView()).isEmpty());
    closePopover();

    // Break replaces the selection with a pause glyph; the stepper sets its length.
    selectRange(m_view->textView(), 0, 4);
    QTest::keyClick(m_view->textView(), Qt::Key_7, Qt::ControlModifier);
    QTRY_VERIFY(openPopover());
    QCOMPARE(m_view->textView()->toPlainText(), QStringLiteral("⏸ me at 10:30 now"));
    QTest::mouseClick(openPopover()->stepperView()->upButton(), Qt::LeftButton);
    QCOMPARE(m_view->effectsArray().constFirst().ssmlTag, QStringLiteral("2"));
    QCOMPARE(ranges(m_view->effectsArray()), QStringLiteral("[0,1)"));
    closePopover();
    // Break right after that pause opens on it: its length shows, no second glyph.
    QTest::keyClick(m_view->textView(), Qt::Key_7, Qt::ControlModifier);
    QTRY_VERIFY(openPopover());
    QCOMPARE(openPopover()->textField()->text(), QStringLiteral("2s"));
    QCOMPARE(m_view->textView()->toPlainText(), QStringLiteral("⏸ me at 10:30 now"));
    closePopover();
    // Time applies at once, without a popover.
    selectRange(m_view->textView(), 8, 13);
    QTest::keyClick(m_view->textView(), Qt::Key_5, Qt::ControlModifier);
    QTRY_COMPARE(ranges(m_view->effectsArray()), QStringLiteral("[0,1) [8,13)"));
    QVERIFY(!openPopover());
    QCOMPARE(m_view->effectsArray().constLast().ssmlTag, QStringLiteral("time"));
    // With the 24-hour preference a new Time span carries hms24.
    Settings::setValue(Settings::Key::TwentyFourHourTime, QStringLiteral("true"));
    selectRange(m_view->textView(), 2, 4);
    QTest::keyClick(m_view->textView(), Qt::Key_5, Qt::ControlModifier);
    QTRY_COMPARE(ranges(m_view->effectsArray()), QStringLiteral("[0,1) [2,4) [8,13)"));
    Settings::remove(Settings::Key::TwentyFourHourTime);
    QCOMPARE(m_view->effectsArray().at(1).ssmlTag, QStringLiteral("hms24"));
}

void TestMainView::typingMovesHighlights_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("spans");
    // A = [10,20) Emphasis and B = [30,40) Volume over 50 letters.
    QTest::newRow("type inside A") << "at 15; type x"
                                   << "[10,21) [31,41)";
    QTest::newRow("undo brings a deleted span back") << "select 10 20; key Delete; undo"
                                                     << "[10,20) [30,40)";
    QTest::newRow("undo after typing inside A and deleting across its start")
        << "at 15; type xy; select 8 12; key Delete; undo; undo"
        << "[10,20) [30,40)";
    QTest::newRow("redo deletes again") << "select 5 15; cut; undo; redo"
                                        << "[5,10) [20,30)";
}

void TestMainView::typingMovesHighlights() {
    QFETCH(QString, script);
    QFETCH(QString, spans);
    loadText(m_view, QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWX"),
             {span(10, 20), span(30, 40, QStringLiteral("Volume"), QStringLiteral("loud"))});
    perform(m_view->textView(), script);
    QCOMPARE(ranges(m_view->effectsArray()), spans);
    QCOMPARE(highlights(m_view->textView()), expectedHighlights(m_view->effectsArray()));
    QCOMPARE(m_view->charactersCount()->text(),
             QStringLiteral("(1words %1characters)").arg(m_view->textView()->toPlainText().size()));
}

void TestMainView::limitNoticeLosesNoKeys() {
    pickEngine(m_view, "cloud");
    loadText(m_view, QString(4990, u'a'));
    pasteText(m_view->textView(), QString(20, u'b'));
    QVERIFY(m_view->limitNotice()->isVisible());
    QVERIFY(m_view->limitNotice()->text().endsWith("\nLonger texts are converted in parts."));
    // A 5,010-byte text takes two requests of the cloud engine.
    QTRY_VERIFY(m_view->charactersCount()->text().endsWith(" · 2 requests"));
    for (char key : QByteArray("vwxyz")) // through the window system, as real keys come
        QTest::keyClick(m_window->windowHandle(), key);
    QVERIFY(m_view->textView()->toPlainText().startsWith(QString(20, u'b') + "vwxyz"));
    QVERIFY(!QApplication::activeModalWidget());
    perform(m_view->textView(), QStringLiteral("all; type a"));
    QVERIFY(!m_view->limitNotice()->isVisible());
    QTRY_COMPARE(m_view->charactersCount()->text(), QStringLiteral("(1words 1characters)"));
    Settings::remove(Settings::Key::Engine);
}

void TestMainView::undoCoversEffectsAndValuesChangeAtTheCaret() {
    SSMLTextView *text = m_view->textView();
    QTest::keyClicks(text, "one two 42");
    selectRange(text, 4, 7);
    QTest::keyClick(text, Qt::Key_1, Qt::ControlModifier);
    QTRY_VERIFY(openPopover());
    pick(openPopover()->popUpButton(), QStringLiteral("Strong")); // the first item: one step
    closePopover();
    QTest::keySequence(text, QKeySequence::Undo); // the effect, not the typing
    QCOMPARE(text->toPlainText(), QStringLiteral("one two 42"));
    QVERIFY(m_view->effectsArray().isEmpty());
    QTest::keyClick(text, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(ranges(m_view->effectsArray()), QStringLiteral("[4,7)"));

    selectRange(text, 8, 10);
    QTest::keyClick(text, Qt::Key_2, Qt::ControlModifier);
    QTRY_VERIFY(openPopover());
    pick(openPopover()->popUpButton(), QStringLiteral("Cardinal"));
    closePopover();
    placeCaret(text, 9); // inside "42": the popover opens on its value and changes it
    QTest::keyClick(text, Qt::Key_2, Qt::ControlModifier);
    QTRY_VERIFY(openPopover());
    QCOMPARE(openPopover()->popUpButton()->currentText(), QStringLiteral("Cardinal"));
    pick(openPopover()->popUpButton(), QStringLiteral("Ordinal"));
    closePopover();
    QCOMPARE(ranges(m_view->effectsArray()), QStringLiteral("[4,7) [8,10)"));
    QCOMPARE(m_view->effectsArray().constLast().ssmlTag, QStringLiteral("ordinal"));
}

void TestMainView::unsavedChangesAsk_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Discard quits") << int(QMessageBox::Discard) << true;
    QTest::newRow("Cancel keeps the window") << int(QMessageBox::Cancel) << false;
}

void TestMainView::unsavedChangesAsk() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QVERIFY(!m_window->isWindowModified());
    QTest::keyClicks(m_view->textView(), "Hi");
    QVERIFY(m_window->isWindowModified());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Untitled[*] — Parlino"));
    QString question;
    QTimer answerer;
    connect(&answerer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            question = box->text();
            box->button(QMessageBox::StandardButton(answer))->click();
        }
    });
    answerer.start(10);
    QCOMPARE(m_window->close(), closed);
    QCOMPARE(question, QStringLiteral("Save the changes to “Untitled”?"));
}

void TestMainView::everyControlHasAName() {
    selectRange(m_view->textView(), 0, 0);
    QTest::mouseClick(m_view->effectButton(QStringLiteral("Break")), Qt::LeftButton);
    QTRY_VERIFY(openPopover());
    QWidgetList widgets = m_window->findChildren<QWidget *>();
    widgets += openPopover()->findChildren<QWidget *>();
    for (QWidget *widget : std::as_const(widgets)) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                 widget->metaObject()->className());
    }
    QVERIFY(openPopover()->helpButton()->focusPolicy() & Qt::TabFocus);
}

void TestMainView::convertWith(const SpeechError &error, const QString &folder, int delayMs) {
    m_view->setEngineProvider([error, delayMs](SpeechEngineFactory::Kind, QString *) {
        return std::make_unique<TimedEngine>(error, delayMs);
    });
    m_view->setFolderChooser(std::make_unique<Chooser>(m_view, folder));
    QTest::keyClicks(m_view->textView(), "Hello");
    QTest::mouseClick(m_view->convertButton(), Qt::LeftButton);
}

void TestMainView::convertShowsOverlayThenReports() {
    convertWith({}, m_folder.path());
    QVERIFY(!m_view->convertButton()->isEnabled());
    QCOMPARE(Chooser::overlays(m_view), QStringList{"Loading..."});
    m_view->convertBtnClick(); // a request that bypasses the disabled button
    QVERIFY(Chooser::overlays(m_view).contains("A conversion is already running."));
    QTRY_VERIFY(m_view->convertButton()->isEnabled());
    QVERIFY2(!static_cast<Chooser *>(m_view->folderChooser())->loadingWhenAsked,
             "the loading overlay is gone before the folder question");
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files).size(), 1);
    QVERIFY(!m_view->openAlert());
    QTRY_VERIFY(Chooser::overlays(m_view).isEmpty());

    // A network known to be down is a brief message; the same words from the service an alert.
    convertWith({SpeechError::NoNetwork, QStringLiteral("No Network")}, m_folder.path());
    QTRY_VERIFY(m_view->convertButton()->isEnabled());
    QVERIFY(!m_view->openAlert());
    QTRY_COMPARE(Chooser::overlays(m_view), QStringList{"No Network"});
    convertWith({SpeechError::RefusedByService, QStringLiteral("No Network")}, m_folder.path());
    QTRY_VERIFY(m_view->openAlert());
    QCOMPARE(m_view->openAlert()->text(), QStringLiteral("No Network"));
    m_view->openAlert()->accept();

    // Esc cancels a conversion under way: nothing written, nothing said.
    convertWith({}, m_folder.path(), 60000);
    QTRY_COMPARE(Chooser::overlays(m_view), QStringList{"Loading..."});
    m_window->activateWindow(); // back from the alert
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_view->textView(), Qt::Key_Escape);
    QTRY_VERIFY(m_view->convertButton()->isEnabled());
    QTRY_VERIFY(Chooser::overlays(m_view).isEmpty());
    QVERIFY(!m_view->openAlert());
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files).size(), 1);
}

void TestMainView::documentAndEngineChoiceSurvive() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.json"));
    QTest::keyClicks(m_view->textView(), "Hello");
    pick(m_view->languagesPopBtn(), QStringLiteral("French (France)"));
    pick(m_view->voicesStylePopBtn(), QStringLiteral("fr-FR-Standard-C"));
    QComboBox *engines = m_view->enginePopBtn();
    pick(engines, engines->itemText(engines->findData(QStringLiteral("cloud"))));
    pick(engines, engines->itemText(engines->findData(QStringLiteral("offline"))));
    QCOMPARE(Settings::value(Settings::Key::Engine).toString(), QStringLiteral("offline"));
    QVERIFY(m_view->offlineNotes()->isVisible());
    QVERIFY(m_window->saveDocument(path));

    const int observers = NotificationCenter::defaultCenter().observerCount();
    MainWindowController other;
    QCOMPARE(NotificationCenter::defaultCenter().observerCount(), observers + 3);
    QVERIFY(other.openDocument(path));
    ViewController *view = other.viewController();
    QCOMPARE(view->textView()->toPlainText(), QStringLiteral("Hello"));
    QCOMPARE(view->languagesPopBtn()->currentText(), QStringLiteral("French (France)"));
    QCOMPARE(view->voicesStylePopBtn()->currentText(), QStringLiteral("fr-FR-Standard-C"));
    QCOMPARE(view->charactersCount()->text(), QStringLiteral("(1words 5characters)"));
    QVERIFY(!view->textView()->document()->isUndoAvailable());
    QCOMPARE(view->selectedEngine(), QStringLiteral("offline"));
    m_window.reset(); // a destroyed view is no longer an observer
    QCOMPARE(NotificationCenter::defaultCenter().observerCount(), observers);
}

void TestMainView::languagesOfTheEngine_data() {
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

void TestMainView::languagesOfTheEngine() {
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
    QCOMPARE(m_view->hearButton()->isEnabled(), voices > 0);
    Settings::remove(Settings::Key::Engine);
}

// A launch starts with the language, voice, pitch and speed used last.
void TestMainView::voiceChoicesAreRemembered() {
    // The first launch, with nothing remembered, starts where it always has.
    QCOMPARE(m_view->languagesPopBtn()->currentText(), QStringLiteral("Arabic"));
    QCOMPARE(m_view->selectedVoice(), QStringLiteral("ar-XA-Standard-A"));
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

// The application's style only draws faster: the window's pixels are Fusion's,
// but for the speaker, which is its own.
void TestMainView::appStyleDrawsTheBaseStylesPixels() {
    QPixmap speaker(16, 16);
    speaker.fill(Qt::darkGray);
    const auto shot = [&speaker](QStyle *style) {
        QApplication::setStyle(style);
        MainWindowController window;
        window.findChild<QToolButton *>(QStringLiteral("hearButton"))->setIcon(speaker);
        return window.grab().toImage();
    };
    const QImage fusion = shot(QStyleFactory::create(QStringLiteral("Fusion")));
    QCOMPARE(shot(new DeferredIconStyle(QStyleFactory::create(QStringLiteral("Fusion")))), fusion);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // The speaker: the buttons' text colour where it is drawn, nothing around it.
    const QImage own =
        DeferredIconStyle().standardIcon(QStyle::SP_MediaVolume).pixmap(16).toImage();
    QCOMPARE(own.size(), QSize(16, 16));
    const QColor ink = QApplication::palette().color(QPalette::ButtonText);
    int inked = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor pixel = own.pixelColor(x, y);
            inked += pixel.alpha() == 255 && pixel.rgb() == ink.rgb();
            QVERIFY(pixel.alpha() == 0 || (x > 0 && x < 15 && y > 1 && y < 14));
        }
    }
    QVERIFY(inked >= 30);
}

QTEST_MAIN(TestMainView)
#include "tst_mainview.moc"
