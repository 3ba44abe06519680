#include "FakeSynthesisService.h"
#include "PlaybackController.h"
#include "PrivatePulse.h"
#include "SpanBuilders.h"
#include "ViewController.h"
#include "WidgetHelpers.h"
#include "document/ParlinoDocument.h"
#include "editing/SSMLTextView.h"
#include "playback/Playback.h"
#include "settings/Settings.h"
#include "synthesis/cloud/CloudSpeechEngine.h"

#include <QComboBox>

#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace parlino;

// Play, Stop, Pause in the editor and the mark on the spoken word, with the
// offline voice on a private sound server.
class TestPlaybackControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsTheStretch_data();
    void playsTheStretch();
    void typingDoesNotStop();
    void cloudVoice();
    void closingStops();

private:
    void load(const QString &text, const EffectsArray &spans = {});
    void press(Qt::Key key) { QTest::keyClick(m_view->textView(), key); }
    Playback *playback() const { return m_view->playbackController()->playback(); }

    std::unique_ptr<PrivatePulse> m_pulse;
    std::unique_ptr<ViewController> m_view;
    QStringList m_marked; // the text under the spoken-word mark, each time it moves
};

void TestPlaybackControls::initTestCase() {
    if (!PrivatePulse::installed())
        QSKIP("pulseaudio and parec are not installed");
    m_pulse = std::make_unique<PrivatePulse>();
    QVERIFY(m_pulse->start());
    Settings::setValue(Settings::Key::Engine, QStringLiteral("offline"));
}

void TestPlaybackControls::init() {
    m_view = std::make_unique<ViewController>();
    m_view->refreshEngineChoice();
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_marked.clear();
    // Runs after the controller has moved the mark.
    connect(playback(), &Playback::wordStarted, this, [this] {
        const QList<QTextEdit::ExtraSelection> marks = m_view->textView()->extraSelections();
        m_marked << (marks.size() == 1 ? marks.first().cursor.selectedText() : QStringLiteral("?"));
    });
}

void TestPlaybackControls::cleanup() {
    m_view.reset();
}

void TestPlaybackControls::load(const QString &text, const EffectsArray &spans) {
    ParlinoDocument document;
    document.text = text;
    document.effects = spans;
    document.voice = QStringLiteral("en-US-Standard-B");
    m_view->loadDocument(document);
    m_view->textView()->setFocus();
}

void TestPlaybackControls::playsTheStretch_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("expected");
    // "One two three four." with "three" emphasised.
    QTest::newRow("selection") << 4 << 13 << QStringList{"two", "three"};
    QTest::newRow("from the caret") << 8 << 8 << QStringList{"three", "four"};
    QTest::newRow("caret at the end plays all")
        << 19 << 19 << QStringList{"One", "two", "three", "four"};
}

// The marked words are those of the stretch, in order; the mark is an extra
// selection only: highlights and undo history are as before, and it goes
// when the sound ends.
void TestPlaybackControls::playsTheStretch() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, expected);
    load(QStringLiteral("One two three four."), {span(8, 13)});
    selectRange(m_view->textView(), from, to);
    QTextDocument *document = m_view->textView()->document();
    const QStringList colours = highlights(m_view->textView());
    const int undoSteps = document->availableUndoSteps();
    press(Qt::Key_F5);
    QCOMPARE(m_view->playbackController()->playButton()->text(), QStringLiteral("Stop"));
    QTRY_COMPARE_WITH_TIMEOUT(m_marked.size(), 1, 10000);
    QCOMPARE(highlights(m_view->textView()), colours);
    QTRY_COMPARE_WITH_TIMEOUT(m_view->playbackController()->playButton()->text(),
                              QStringLiteral("Play"), 20000);
    QCOMPARE(m_marked, expected);
    QVERIFY(m_view->textView()->extraSelections().isEmpty());
    QCOMPARE(document->availableUndoSteps(), undoSteps);
}

// Typing while playing keeps the sound going; F6 pauses and resumes; F5 then stops it.
void TestPlaybackControls::typingDoesNotStop() {
    load(QStringLiteral("A longer sentence that keeps the voice busy for a little while."));
    placeCaret(m_view->textView(), 0);
    press(Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(m_marked.size(), 2, 10000);
    perform(m_view->textView(), QStringLiteral("at 0; type So, "));
    QCOMPARE(playback()->state(), Playback::State::Playing);
    // The mark stays on the spoken word, which the typing moved.
    QTRY_COMPARE_WITH_TIMEOUT(m_marked.size(), 4, 10000);
    QCOMPARE(m_marked.mid(0, 4), (QStringList{"A", "longer", "sentence", "that"}));
    press(Qt::Key_F6);
    QCOMPARE(playback()->state(), Playback::State::Paused);
    press(Qt::Key_F6);
    QCOMPARE(playback()->state(), Playback::State::Playing);
    press(Qt::Key_F5);
    QCOMPARE(playback()->state(), Playback::State::Stopped);
    QCOMPARE(m_view->playbackController()->playButton()->text(), QStringLiteral("Play"));
    QVERIFY(m_view->textView()->extraSelections().isEmpty());
}

// The cloud voice against the test service: one timed WAV request, the
// marks' times move the mark.
void TestPlaybackControls::cloudVoice() {
    FakeSynthesisService service;
    QVERIFY(service.listen());
    service.setResponder(FakeSynthesisService::speakingResponder(QByteArray("ID3")));
    const QUrl endpoint = service.baseUrl();
    m_view->setEngineProvider([endpoint](SpeechEngineFactory::Kind, QString *) {
        return std::make_unique<CloudSpeechEngine>(endpoint, QStringLiteral("test-key"));
    });
    pick(m_view->enginePopBtn(), QStringLiteral("Cloud voice"));
    load(QStringLiteral("Cloud voices speak too."));
    placeCaret(m_view->textView(), 0);
    press(Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(playback()->state(), Playback::State::Stopped, 20000);
    QCOMPARE(m_marked, (QStringList{"Cloud", "voices", "speak", "too"}));
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(service.requests().constFirst().url.path(),
             QStringLiteral("/v1beta1/text:synthesize"));
    m_view->hearButton()->click(); // the voice's sample sentence, through the same playback
    QTRY_VERIFY(service.requests().size() == 2 &&
                service.requests().last().body.contains("sounds"));
    Settings::setValue(Settings::Key::Engine, QStringLiteral("offline"));
}

// Closing the editor while it speaks silences the device at once.
void TestPlaybackControls::closingStops() {
    load(QStringLiteral("This is a long sentence that would keep on speaking for quite a while "
                        "if nobody closed the window."));
    placeCaret(m_view->textView(), 0);
    press(Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(m_marked.size(), 2, 10000);
    m_view.reset();
    m_pulse->reset();
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse->silentTailSeconds() > 1.0, 5000);
    QVERIFY(m_pulse->soundSeconds() < 0.5);
}

QTEST_MAIN(TestPlaybackControls)
#include "tst_playbackcontrols.moc"
