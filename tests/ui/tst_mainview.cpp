#include "MainWindowController.h"
#include "SpanBuilders.h"
#include "ViewController.h"
#include "WidgetHelpers.h"
#include "editing/NotificationCenter.h"
#include "editing/SSMLTextView.h"
#include "output/FolderChooser.h"
#include "settings/Settings.h"
#include "synthesis/SpeechEngine.h"
#include "widgets/SegmentedControl.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// The user cancels the folder question.
class CancellingChooser : public FolderChooser {
public:
    QString chooseFolder(const QString &) override { return QString(); }
};

} // namespace

class TestMainView : public QObject {
    Q_OBJECT
private slots:
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

private:
    std::unique_ptr<MainWindowController> m_window;
    ViewController *m_view = nullptr;
};

void TestMainView::init() {
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
    const QStringList languages = items(m_view->languagesPopBtn());
    QCOMPARE(languages.size(), 37);
    QCOMPARE(languages.first(), QStringLiteral("Arabic"));
    QCOMPARE(languages.last(), QStringLiteral("Welsh"));
    QVERIFY(languages.indexOf("Spanish (Mexican)") < languages.indexOf("Spanish (Spain)"));
    QCOMPARE(m_view->languagesPopBtn()->currentText(), QStringLiteral("Arabic"));
    QCOMPARE(items(m_view->voicesStylePopBtn()),
             (QStringList{"ar-XA-Standard-A", "ar-XA-Standard-B", "ar-XA-Standard-C"}));
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), QStringLiteral("ar-XA-Standard-A"));
}

void TestMainView::languageChangeRefillsVoices_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("voices");
    QTest::addColumn<QString>("selected");
    QTest::newRow("English (US)") << "English (US)" << 4 << "en-US-Standard-B";
    QTest::newRow("Dutch") << "Dutch (Netherlands)" << 5 << "nl-NL-Standard-A";
    QTest::newRow("Welsh has no voice") << "Welsh" << 0 << "";
}

void TestMainView::languageChangeRefillsVoices() {
    QFETCH(QString, language);
    QFETCH(int, voices);
    QFETCH(QString, selected);
    pick(m_view->languagesPopBtn(), language);
    QCOMPARE(m_view->voicesStylePopBtn()->count(), voices);
    QCOMPARE(m_view->voicesStylePopBtn()->currentText(), selected);
    QCOMPARE(m_view->voicesStylePopBtn()->currentIndex(), voices ? 0 : -1);
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

QTEST_MAIN(TestMainView)
#include "tst_mainview.moc"
