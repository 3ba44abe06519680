#include "GoldenData.h"
#include "SpanBuilders.h"
#include "ToneMp3.h"
#include "output/FolderChooser.h"
#include "output/Mp3Joiner.h"
#include "synthesis/Conversion.h"
#include "synthesis/RequestSplitter.h"
#include "synthesis/SpeechEngine.h"

#include <QBuffer>
#include <QJsonDocument>

#include <QDir>
#include <QHash>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace parlino;

namespace {

// Answers each request when the test says so, or at once by a script.
class FakeEngine : public SpeechEngine {
public:
    using Script = std::function<void(int request, const QJsonObject &body, Completion done)>;

    void synthesize(const QJsonObject &request, Completion done) override {
        requests << request;
        pending << done;
        ++inFlight;
        maxInFlight = std::max(maxInFlight, inFlight);
        if (script)
            script(int(requests.size()) - 1, request,
                   [this, done](const QByteArray &mp3, const SpeechError &e) {
                       --inFlight;
                       done(mp3, e);
                   });
    }
    qint64 partByteLimit() const override { return limit; }
    void answer(int index, const QByteArray &mp3, const QString &message = QString()) {
        const Completion done = pending.at(index);
        const SpeechError error{message.isEmpty() ? SpeechError::None : SpeechError::Transport,
                                message};
        QTimer::singleShot(0, this, [done, mp3, error] { done(mp3, error); });
    }
    QList<QJsonObject> requests;
    QList<Completion> pending;
    Script script;
    qint64 limit = 0;
    int inFlight = 0;
    int maxInFlight = 0;
};

QString inputOf(const QJsonObject &body) {
    const QJsonObject input = body.value("input").toObject();
    return input.contains("ssml") ? input.value("ssml").toString() : input.value("text").toString();
}

// About 60,000 characters in paragraphs, a Cyrillic stretch among them, with
// effects of 300 characters every 700, so that many cross a cut.
ConversionInput longInput() {
    ConversionInput input{{}, {}, "en-GB-Standard-A", 0, 100, {}};
    for (int paragraph = 0; input.text.size() < 60000; ++paragraph) {
        for (int sentence = 0; sentence < 12; ++sentence)
            input.text += paragraph % 5 == 2
                              ? QString::fromUtf8("Длинный русский текст идёт здесь. ")
                              : QStringLiteral("The tide turns at the harbour wall. ");
        input.text += u'\n';
    }
    for (int at = 0; at + 300 < input.text.size(); at += 700)
        input.spans << span(at, at + 300, at % 1400 ? "Volume" : "Emphasis",
                            at % 1400 ? "loud" : "strong");
    return input;
}

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

const ConversionInput hello{"Hello world", {}, "en-GB-Standard-A", 0, 100, {}};

const QStringList statusNames{"Saved", "Cancelled", "Refused", "Failed"};
const QHash<QString, SpeechError::Kind> kindsByName{{"None", SpeechError::None},
                                                    {"Transport", SpeechError::Transport},
                                                    {"Write", SpeechError::Write}};

// The rows of one table under tests/data/synthesis, named by their first cell.
void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/synthesis/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

} // namespace

class TestConversion : public QObject {
    Q_OBJECT
private slots:
    void refusals_data() { rowsOf("conversion-refusals.tsv"); }
    void refusals();
    void outcomes_data() { rowsOf("conversion-outcomes.tsv"); }
    void outcomes();
    void overlapping();
    void engineDestroyed();
    void parts_data();
    void parts();
};

void TestConversion::refusals() {
    QFETCH(QStringList, row);
    const ConversionInput input{row.at(1), {}, row.at(2), 0, 100, {}};
    const QString message = row.at(3);
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

// One request; busy on, then off before the folder is asked for; one outcome.
void TestConversion::outcomes() {
    QFETCH(QStringList, row);
    const QString engineError = row.at(1);
    const QString folder = row.at(2);
    const QString message = row.at(4);
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
    const ConversionInput input{"Hello world", {span(6, 11)}, "en-GB-Standard-A", 2.9, 87.6, {}};
    conversion.start(input, AudioDestination::askUser(&chooser), [&](const ConversionResult &r) {
        ++calls;
        result = r;
    });
    QCOMPARE(busy.count(), 1);
    QCOMPARE(engine.requests, QList<QJsonObject>{Conversion::request(input)});
    engine.answer(0, engineError.isEmpty() ? toneMp3(0) : QByteArray(), engineError);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(calls, 1);
    QCOMPARE(statusNames.at(result.status), row.at(3));
    QVERIFY2(message.isEmpty() ? result.error.message.isEmpty()
                               : result.error.message.startsWith(message),
             qPrintable(result.error.message));
    QCOMPARE(result.error.kind, kindsByName.value(row.at(5), SpeechError::Refused));
    QCOMPARE(failed.count(), message.isEmpty() ? 0 : 1);
    QCOMPARE(busy.count(), 2);
    QVERIFY(!conversion.isBusy());
    QVERIFY(!chooser.busyWhenAsked); // the overlay is gone before the folder dialog
    QCOMPARE(saved.count(), result.status == ConversionResult::Saved ? 1 : 0);
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
    engine.answer(1, toneMp3(1));
    QTRY_COMPARE(paths.size(), 1);
    QVERIFY(conversion.isBusy());
    engine.answer(0, toneMp3(0));
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

// A long text in parts, some of which fail by a script "PART:STATUS" (once),
// "PART:STATUS*" (always), "PART:junk" (no MP3) or "PART:cancel".
void TestConversion::parts_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("all come, out of order") << ""
                                            << "Saved"
                                            << "";
    QTest::newRow("busy part tried again") << "2:503"
                                           << "Saved"
                                           << "";
    QTest::newRow("service's wait honoured") << "4:429"
                                             << "Saved"
                                             << "";
    QTest::newRow("refused part fails at once") << "3:400"
                                                << "Failed"
                                                << "Part 4 of ";
    QTest::newRow("part failing every try") << "1:500*"
                                            << "Failed"
                                            << "Part 2 of ";
    QTest::newRow("no usable audio") << "0:junk"
                                     << "Failed"
                                     << "Part 1 of ";
    QTest::newRow("cancel half-way") << "6:cancel"
                                     << "Cancelled"
                                     << "";
}

void TestConversion::parts() {
    QFETCH(QString, script);
    QFETCH(QString, status);
    QFETCH(QString, message);
    const ConversionInput input = longInput();
    const QList<ConversionPart> split =
        RequestSplitter::split(input.text, input.spans, input.voice, 5000);
    QVERIFY(split.size() >= 12);
    QHash<QString, int> partOfInput;
    for (int i = 0; i < split.size(); ++i) {
        ConversionInput part = input;
        part.text = split.at(i).text;
        part.spans = split.at(i).spans;
        partOfInput.insert(inputOf(Conversion::request(part)), i);
    }
    const int failing = script.section(':', 0, 0).toInt();
    const QString failure = script.section(':', 1);
    QTemporaryDir dir;
    FakeEngine engine;
    engine.limit = 5000;
    Conversion conversion(&engine);
    conversion.setRetryDelay(std::chrono::milliseconds(1));
    QHash<int, int> tries;
    engine.script = [&](int request, const QJsonObject &body, SpeechEngine::Completion done) {
        const int part = partOfInput.value(inputOf(body), -1);
        QVERIFY2(part >= 0 && inputOf(body).toUtf8().size() <= 5000,
                 qPrintable(inputOf(body).left(80)));
        ++tries[part];
        SpeechError error;
        QByteArray mp3 = toneMp3(part % 4);
        if (!script.isEmpty() && part == failing) {
            if (failure == "cancel")
                QTimer::singleShot(0, &conversion, &Conversion::cancelAll);
            else if (failure == "junk")
                mp3 = "<html>busy</html>";
            else if (failure.endsWith('*') || tries[part] == 1)
                error = {SpeechError::RefusedByService, "The service said no.",
                         failure.left(3).toInt(), failure == "429" ? 3 : -1};
        }
        if (error.isError())
            mp3.clear();
        // Later requests of a batch come back first.
        QTimer::singleShot(4 - request % 4, &engine, [done, mp3, error] { done(mp3, error); });
    };
    QSignalSpy failed(&conversion, &Conversion::failed);
    QSignalSpy progressed(&conversion, &Conversion::progressed);
    ConversionResult result;
    bool ended = false;
    conversion.start(input, AudioDestination::folder(dir.path()), [&](const ConversionResult &r) {
        result = r;
        ended = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(ended, 20000);
    QCOMPARE(statusNames.at(result.status), status);
    QVERIFY2(message.isEmpty() ? result.error.message.isEmpty()
                               : result.error.message.startsWith(message),
             qPrintable(result.error.message));
    QVERIFY(engine.maxInFlight <= Conversion::defaultJobs);
    QCOMPARE(failed.count(), message.isEmpty() ? 0 : 1);
    QVERIFY(!conversion.isBusy());
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    if (status != "Saved") {
        QCOMPARE(files, QStringList());
        if (failure.endsWith('*'))
            QCOMPARE(tries.value(failing), 1 + Conversion::maxRetries);
        return;
    }
    QCOMPARE(files.size(), 1);
    QCOMPARE(progressed.last().at(0).value<ConversionProgress>().partsDone, split.size());
    // The file holds the parts' audio in the text's order, whatever order it came in.
    QBuffer expected;
    expected.open(QIODevice::ReadWrite);
    Mp3Joiner joiner(&expected);
    QString error;
    for (int i = 0; i < split.size(); ++i)
        QVERIFY(joiner.append(toneMp3(i % 4), &error));
    QVERIFY(joiner.finish(&error));
    QFile written(QDir(dir.path()).filePath(files.first()));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.data());
}

QTEST_GUILESS_MAIN(TestConversion)
#include "tst_conversion.moc"
