#include "SpanBuilders.h"
#include "output/FolderChooser.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngine.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace parlino;

namespace {

// Answers each request when the test says so.
class FakeEngine : public SpeechEngine {
public:
    void synthesize(const QJsonObject &request, Completion done) override {
        requests << request;
        pending << done;
    }
    void answer(int index, const QByteArray &mp3, const QString &message = QString()) {
        const Completion done = pending.at(index);
        const SpeechError error{message.isEmpty() ? SpeechError::None : SpeechError::Transport,
                                message};
        QTimer::singleShot(0, this, [done, mp3, error] { done(mp3, error); });
    }
    QList<QJsonObject> requests;
    QList<Completion> pending;
};

class Chooser : public FolderChooser {
public:
    Chooser(QString folder, Conversion *conversion)
        : m_folder(std::move(folder))
        , m_conversion(conversion) {}
    QString chooseFolder(const QString &) override {
        busyWhenAsked = m_conversion->isBusy();
        return m_folder;
    }
    bool busyWhenAsked = false;

private:
    QString m_folder;
    Conversion *m_conversion;
};

const ConversionInput hello{"Hello world", {}, "en-GB-Standard-A", 0, 100};

} // namespace

class TestConversion : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void outcomes_data();
    void outcomes();
    void overlapping();
    void engineDestroyed();
};

void TestConversion::refusals_data() {
    QTest::addColumn<ConversionInput>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty text") << ConversionInput{"", {}, "en-GB-Standard-A", 0, 100}
                                << "Text not empty!";
    QTest::newRow("language without voices")
        << ConversionInput{"Hi", {}, "", 0, 100} << "has no voice for this language";
    QTest::newRow("not a voice name")
        << ConversionInput{"Hi", {}, "English", 0, 100} << "is not a voice name";
}

void TestConversion::refusals() {
    QFETCH(ConversionInput, input);
    QFETCH(QString, message);
    FakeEngine engine;
    Conversion conversion(&engine);
    QSignalSpy failed(&conversion, &Conversion::failed);
    QSignalSpy busy(&conversion, &Conversion::busyChanged);
    ConversionResult result;
    conversion.start(input, AudioDestination::file("/nowhere"),
                     [&](const ConversionResult &r) { result = r; });
    QCOMPARE(failed.count(), 0); // reported after start() returns
    QTRY_COMPARE(failed.count(), 1);
    const SpeechError error = failed.at(0).at(0).value<SpeechError>();
    QVERIFY2(error.message.contains(message), qPrintable(error.message));
    QCOMPARE(result.status, ConversionResult::Refused);
    QCOMPARE(engine.requests.size(), 0);
    QCOMPARE(busy.count(), 0);
}

void TestConversion::outcomes_data() {
    QTest::addColumn<QString>("engineError");
    QTest::addColumn<QString>("folder"); // empty: the chooser is cancelled; "TMP": a new folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind"); // of the error
    QTest::newRow("saved") << ""
                           << "TMP" << int(ConversionResult::Saved) << "" << int(SpeechError::None);
    QTest::newRow("engine error") << "Invalid SSML."
                                  << "." << int(ConversionResult::Failed) << "Invalid SSML."
                                  << int(SpeechError::Transport);
    QTest::newRow("cancelled folder choice is silent")
        << ""
        << "" << int(ConversionResult::Cancelled) << "" << int(SpeechError::None);
    QTest::newRow("write fails") << ""
                                 << "/no/such/folder" << int(ConversionResult::Failed)
                                 << "Could not write /no/such/folder/Parlino"
                                 << int(SpeechError::Write);
}

// One request; busy on, then off before the folder is asked for; one outcome.
void TestConversion::outcomes() {
    QFETCH(QString, engineError);
    QFETCH(QString, folder);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, kind);
    QTemporaryDir dir;
    FakeEngine engine;
    Conversion conversion(&engine);
    Chooser chooser(folder == "TMP" ? dir.path() : folder, &conversion);
    QSignalSpy busy(&conversion, &Conversion::busyChanged);
    QSignalSpy saved(&conversion, &Conversion::saved);
    QSignalSpy failed(&conversion, &Conversion::failed);
    QSignalSpy finished(&conversion, &Conversion::finished);
    int calls = 0;
    ConversionResult result;
    const ConversionInput input{"Hello world", {span(6, 11)}, "en-GB-Standard-A", 2.9, 87.6};
    conversion.start(input, AudioDestination::askUser(&chooser), [&](const ConversionResult &r) {
        ++calls;
        result = r;
    });
    QCOMPARE(busy.count(), 1);
    QCOMPARE(engine.requests, QList<QJsonObject>{Conversion::request(input)});
    engine.answer(0, engineError.isEmpty() ? QByteArray("mp3") : QByteArray(), engineError);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(calls, 1);
    QCOMPARE(int(result.status), status);
    QVERIFY2(message.isEmpty() ? result.error.message.isEmpty()
                               : result.error.message.startsWith(message),
             qPrintable(result.error.message));
    QCOMPARE(int(result.error.kind), kind);
    QCOMPARE(failed.count(), message.isEmpty() ? 0 : 1);
    QCOMPARE(busy.count(), 2);
    QVERIFY(!conversion.isBusy());
    QVERIFY(!chooser.busyWhenAsked); // the overlay is gone before the folder dialog
    QCOMPARE(saved.count(), status == ConversionResult::Saved ? 1 : 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), saved.count());
}

void TestConversion::overlapping() {
    QTemporaryDir dir;
    FakeEngine engine;
    Conversion conversion(&engine);
    QSignalSpy busy(&conversion, &Conversion::busyChanged);
    QStringList paths;
    const auto record = [&](const ConversionResult &r) { paths << r.path; };
    conversion.start(hello, AudioDestination::folder(dir.path()), record);
    conversion.start(hello, AudioDestination::folder(dir.path()), record);
    engine.answer(1, "second");
    QTRY_COMPARE(paths.size(), 1);
    QVERIFY(conversion.isBusy());
    engine.answer(0, "first");
    QTRY_COMPARE(paths.size(), 2);
    QCOMPARE(busy.count(), 2); // on once, off once
    QVERIFY(paths.at(0) != paths.at(1));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

void TestConversion::engineDestroyed() {
    auto engine = std::make_unique<FakeEngine>();
    Conversion conversion(engine.get());
    QSignalSpy failed(&conversion, &Conversion::failed);
    conversion.start(hello, AudioDestination::file("/nowhere"));
    QVERIFY(conversion.isBusy());
    engine.reset();
    QCOMPARE(failed.count(), 1);
    QVERIFY(!conversion.isBusy());
    QCOMPARE(conversion.engine(), nullptr);
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
