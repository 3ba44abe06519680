#include "GoldenData.h"
#include "SpanBuilders.h"
#include "output/FolderChooser.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngine.h"

#include <QDir>
#include <QHash>
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
    engine.answer(0, engineError.isEmpty() ? QByteArray("mp3") : QByteArray(), engineError);
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
