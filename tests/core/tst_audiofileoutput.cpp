#include "GoldenData.h"
#include "output/AudioFileOutput.h"
#include "output/FolderChooser.h"
#include "output/NoReplaceRename.h"
#include "settings/Settings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <thread>

using namespace parlino;

namespace {

class FakeChooser : public FolderChooser {
public:
    explicit FakeChooser(QString answer)
        : m_answer(std::move(answer)) {}
    QString chooseFolder(const QString &startFolder) override {
        ++calls;
        offered = startFolder;
        return m_answer;
    }
    int calls = 0;
    QString offered;

private:
    QString m_answer;
};

// The bytes as a readable device, as the writers take their audio.
std::unique_ptr<QBuffer> bytes(const QByteArray &data) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

const QDateTime moment(QDate(2024, 3, 5), QTime(14, 7, 9, 42));
QDateTime fixedClock() {
    return moment;
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString savePath() {
    return Settings::value(Settings::Key::SavePath).toString();
}

// The rows of one table under tests/data/output, named by their first cell.
void rowsOf(const char *table) {
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : goldenTable(PARLINO_TEST_DATA "/output/" + QString(table)))
        QTest::newRow(qPrintable(row.at(0))) << row;
}

// Makes what the row names at the path: a file, a link to `target`, a folder.
void makeAt(const QString &path, const QString &what, const QString &target) {
    if (what == "file")
        QFile(path).open(QIODevice::WriteOnly);
    else if (what == "symlink" || what == "dangling")
        QFile::link(target, path);
    else if (what == "folder")
        QDir().mkdir(path);
}

} // namespace

class TestAudioFileOutput : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::remove(Settings::Key::SavePath); }
    void fileName_data() { rowsOf("filenames.tsv"); }
    void fileName();
    void collisionTakesNextMillisecond();
    void saveRemembersTheFolder();
    void notSaved_data() { rowsOf("notsaved.tsv"); }
    void notSaved();
    void shortWriteLeavesNothing();
    void writeToFile_data() { rowsOf("writes.tsv"); }
    void writeToFile();
    void noReplaceMove_data() { rowsOf("moves.tsv"); }
    void noReplaceMove();
    void simultaneousWritersKeepEveryFile();
};

void TestAudioFileOutput::fileName() {
    QFETCH(QStringList, row);
    QLocale::setDefault(QLocale(row.at(2)));
    const QString made =
        AudioFileOutput::fileNameForTime(QDateTime::fromString(row.at(1), Qt::ISODateWithMs));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(made, row.at(3));
}

void TestAudioFileOutput::collisionTakesNextMillisecond() {
    QTemporaryDir dir;
    const auto first = AudioFileOutput::writeToFolder(dir.path(), *bytes("one"), fixedClock);
    const auto second = AudioFileOutput::writeToFolder(dir.path(), *bytes("two"), fixedClock);
    const auto third = AudioFileOutput::writeToFolder(dir.path(), *bytes("three"), fixedClock);
    QCOMPARE(first.path, dir.filePath("Parlino20240305140709042.mp3"));
    QCOMPARE(second.path, dir.filePath("Parlino20240305140709043.mp3"));
    QCOMPARE(third.path, dir.filePath("Parlino20240305140709044.mp3"));
    QCOMPARE(contents(first.path), QByteArray("one"));
    QCOMPARE(contents(third.path), QByteArray("three"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

void TestAudioFileOutput::saveRemembersTheFolder() {
    QTemporaryDir dir;
    Settings::setValue(Settings::Key::SavePath, "/earlier/folder");
    FakeChooser chooser(dir.path());
    const auto result =
        AudioFileOutput::saveAudioWithFile(*bytes("mp3 bytes"), chooser, fixedClock);
    QCOMPARE(result.status, AudioFileOutput::Result::Saved);
    QCOMPARE(chooser.offered, QString("/earlier/folder"));
    QCOMPARE(contents(result.path), QByteArray("mp3 bytes"));
    QCOMPARE(savePath(), dir.path());
    const auto empty =
        AudioFileOutput::saveAudioWithFile(*bytes(QByteArray()), chooser, fixedClock);
    QCOMPARE(empty.status, AudioFileOutput::Result::Saved);
    QCOMPARE(QFileInfo(empty.path).size(), 0);
}

// Nothing is written and the folder is not remembered.
void TestAudioFileOutput::notSaved() {
    QFETCH(QStringList, row);
    const QString error = row.at(2).isEmpty() ? QString() : row.at(2);
    QTemporaryDir dir;
    QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
    FakeChooser chooser(row.at(1).isEmpty() ? QString() : dir.filePath(row.at(1)));
    const auto result = AudioFileOutput::saveAudioWithFile(*bytes("mp3"), chooser, fixedClock);
    QCOMPARE(result.status,
             error.isNull() ? AudioFileOutput::Result::Cancelled : AudioFileOutput::Result::Failed);
    QCOMPARE(result.error.isEmpty(), error.isNull());
    QVERIFY2(error.isNull() || result.error.startsWith("Could not write "),
             qPrintable(result.error));
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(savePath(), QString());
    QCOMPARE(chooser.calls, 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"file"});
}

void TestAudioFileOutput::shortWriteLeavesNothing() {
    // A file size limit makes the kernel cut writes short, as a full disk does.
    QTemporaryDir dir;
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    // The last write crosses the limit: it comes back short with no error set.
    const auto result =
        AudioFileOutput::writeToFolder(dir.path(), *bytes(QByteArray(120 * 1024, 'x')), fixedClock);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(result.status, AudioFileOutput::Result::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 0);
}

void TestAudioFileOutput::writeToFile() {
    QFETCH(QStringList, row);
    const QString existing = row.at(1);
    const QString error = row.at(3);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.mp3");
    QFile(dir.filePath("other")).open(QIODevice::WriteOnly);
    makeAt(path, existing, dir.filePath("other"));
    const auto result = AudioFileOutput::writeToFile(
        path, *bytes("new"),
        row.at(2) == "replace" ? AudioFileOutput::Existing::ReplaceRegularFile
                               : AudioFileOutput::Existing::Keep);
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(result.status,
             error.isEmpty() ? AudioFileOutput::Result::Saved : AudioFileOutput::Result::Failed);
    if (error.isEmpty())
        QCOMPARE(contents(path), QByteArray("new"));
    else if (existing != "folder")
        QCOMPARE(contents(path), QByteArray());
    QCOMPARE(contents(dir.filePath("other")), QByteArray());
    QCOMPARE(QDir(dir.path()).entryList({".*part"}, QDir::Files | QDir::Hidden), QStringList());
}

// The final step of every write fails rather than replace whatever has the name.
void TestAudioFileOutput::noReplaceMove() {
    QFETCH(QStringList, row);
    const QString existing = row.at(1);
    QTemporaryDir dir;
    const QString from = dir.filePath("from");
    const QString to = dir.filePath("to");
    QFile source(from);
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("moved");
    source.close();
    makeAt(to, existing, dir.filePath("nowhere"));
    const NoReplaceRename result = NoReplaceRename::move(from, to);
    const bool moved = row.at(2) == "moved";
    QCOMPARE(result.status, moved ? NoReplaceRename::Moved : NoReplaceRename::Exists);
    QCOMPARE(QFileInfo::exists(from), !moved);
    if (existing != "folder")
        QCOMPARE(contents(to),
                 moved ? QByteArray("moved") : QByteArray(existing == "file" ? "" : "<missing>"));
}

// Two writers that finish in the same millisecond, round after round: every
// file keeps its own audio under its own name.
void TestAudioFileOutput::simultaneousWritersKeepEveryFile() {
    QTemporaryDir dir;
    constexpr int rounds = 50;
    std::atomic<int> failures{0};
    const auto writer = [&](char tag) {
        for (int i = 0; i < rounds; ++i) {
            const auto result = AudioFileOutput::writeToFolder(
                dir.path(), *bytes(QByteArray(1000, tag)), fixedClock);
            if (result.status != AudioFileOutput::Result::Saved)
                ++failures;
        }
    };
    std::thread first(writer, 'a');
    std::thread second(writer, 'b');
    first.join();
    second.join();
    QCOMPARE(failures.load(), 0);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 2 * rounds);
    int as = 0;
    for (const QString &name : files)
        as += contents(dir.filePath(name)) == QByteArray(1000, 'a') ? 1 : 0;
    QCOMPARE(as, rounds);
}

QTEST_GUILESS_MAIN(TestAudioFileOutput)
#include "tst_audiofileoutput.moc"
