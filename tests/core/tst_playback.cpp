#include "OfflineAudio.h"
#include "PrivatePulse.h"
#include "playback/Playback.h"

#include <QSignalSpy>
#include <QTest>

using namespace parlino;

namespace {

// The offline engine, counting the previews it is asked for.
class CountingEngine : public OfflineSpeechEngine {
public:
    int previews = 0;
    SpeechPreviewCancel preview(const QJsonObject &request,
                                SpeechPreviewHandlers handlers) override {
        ++previews;
        return OfflineSpeechEngine::preview(request, std::move(handlers));
    }
};

ConversionInput input(const QString &text) {
    ConversionInput in;
    in.text = text;
    in.voice = QStringLiteral("en-US-Standard-B");
    return in;
}

// Qt connects to the sound server once per process, so the run without one
// is a process of its own (tst_playback_nodevice, PARLINO_TEST_NO_SOUND_SERVER set).
bool withoutSoundServer() {
    return qEnvironmentVariableIsSet("PARLINO_TEST_NO_SOUND_SERVER");
}

} // namespace

class TestPlayback : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void noAudioOutput();
    void replaysFromTheCacheAndPauses();

private:
    std::unique_ptr<PrivatePulse> m_pulse;
};

void TestPlayback::initTestCase() {
    if (withoutSoundServer()) {
        qputenv("PULSE_SERVER", "unix:/nonexistent/pulse-native");
        qputenv("PULSE_CLIENTCONFIG", "/nonexistent");
        return;
    }
    if (!PrivatePulse::installed())
        return;
    m_pulse = std::make_unique<PrivatePulse>();
    QVERIFY(m_pulse->start());
}

// Without a sound server: a message, back to Stopped, nothing hangs.
void TestPlayback::noAudioOutput() {
    if (!withoutSoundServer())
        QSKIP("runs in tst_playback_nodevice");
    CountingEngine engine;
    Playback playback;
    playback.setEngine(&engine);
    QSignalSpy failed(&playback, &Playback::failed);
    playback.play(input(QStringLiteral("Nobody hears this.")));
    QVERIFY(failed.wait(20000));
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("No audio output"));
    QCOMPARE(playback.state(), Playback::State::Stopped);
}

// The second play of the same text comes from the cache; another speed is
// another request. While paused the recording falls silent and the sound does
// not end; after resuming the rest plays.
void TestPlayback::replaysFromTheCacheAndPauses() {
    if (!m_pulse)
        QSKIP("no private sound server");
    CountingEngine engine;
    Playback playback;
    playback.setEngine(&engine);
    QSignalSpy finished(&playback, &Playback::finished);
    QSignalSpy words(&playback, &Playback::wordStarted);
    for (int round = 0; round < 2; ++round) {
        playback.play(input(QStringLiteral("Again and again.")));
        QVERIFY(finished.wait(20000));
    }
    QCOMPARE(engine.previews, 1);
    QVERIFY(playback.playsFromCache());
    QCOMPARE(words.size(), 6);
    ConversionInput faster = input(QStringLiteral("This sentence is long enough to be paused in "
                                                  "the middle of its words."));
    faster.speed = 150;
    playback.play(faster);
    m_pulse->reset();
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse->soundSeconds() > 0.3, 10000);
    QCOMPARE(engine.previews, 2);
    playback.togglePause();
    QCOMPARE(playback.state(), Playback::State::Paused);
    // Longer than any pause between the words of the sentence.
    QTRY_VERIFY_WITH_TIMEOUT(m_pulse->silentTailSeconds() > 1.0, 10000);
    QCOMPARE(finished.size(), 2);
    const double before = m_pulse->soundSeconds();
    playback.togglePause();
    QVERIFY(finished.wait(20000));
    QVERIFY(m_pulse->soundSeconds() > before + 1.0);
}

QTEST_GUILESS_MAIN(TestPlayback)
#include "tst_playback.moc"
