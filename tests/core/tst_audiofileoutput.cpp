#include "output/AudioFileOutput.h"
#include "output/FolderChooser.h"
#include "output/NoReplaceRename.h"
#include "settings/Settings.h"

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

} // namespace

class TestAudioFileOutput : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::remove(Settings::Key::SavePath); }
    void fileName_data();
    void fileName();
    void collisionTakesNextMillisecond();
    void saveRemembersTheFolder();
    void notSaved_data();
    void notSaved();
    void shortWriteLeavesNothing();
    void writeToFile_data();
    void writeToFile();
    void noReplaceMove_data();
    void noReplaceMove();
    void simultaneousWritersKeepEveryFile();
};

void TestAudioFileOutput::fileName_data() {
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("name");
    QTest::newRow("example") << moment << QLocale::c() << "Parlino20240305140709042.mp3";
    QTest::newRow("midnight on the 24-hour clock")
        << QDateTime(QDate(1999, 12, 31), QTime(0, 0, 0, 7)) << QLocale::c()
        << "Parlino19991231000000007.mp3";
    QTest::newRow("Arabic locale keeps ASCII digits")
        << QDateTime(QDate(2024, 11, 30), QTime(23, 59, 59, 999))
        << QLocale(QLocale::Arabic, QLocale::Egypt) << "Parlino20241130235959999.mp3";
    QTest::newRow("Persian locale keeps the Gregorian year")
        << moment << QLocale(QLocale::Persian, QLocale::Iran) << "Parlino20240305140709042.mp3";
}

void TestAudioFileOutput::fileName() {
    QFETCH(QDateTime, time);
    QFETCH(QLocale, locale);
    QFETCH(QString, name);
    QLocale::setDefault(locale);
    const QString made = AudioFileOutput::fileNameForTime(time);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(made, name);
}

void TestAudioFileOutput::collisionTakesNextMillisecond() {
    QTemporaryDir dir;
    const auto first = AudioFileOutput::writeToFolder(dir.path(), "one", fixedClock);
    const auto second = AudioFileOutput::writeToFolder(dir.path(), "two", fixedClock);
    const auto third = AudioFileOutput::writeToFolder(dir.path(), "three", fixedClock);
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
    const auto result = AudioFileOutput::saveAudioWithFile("mp3 bytes", chooser, fixedClock);
    QCOMPARE(result.status, AudioFileOutput::Result::Saved);
    QCOMPARE(chooser.offered, QString("/earlier/folder"));
    QCOMPARE(contents(result.path), QByteArray("mp3 bytes"));
    QCOMPARE(savePath(), dir.path());
    const auto empty = AudioFileOutput::saveAudioWithFile(QByteArray(), chooser, fixedClock);
    QCOMPARE(empty.status, AudioFileOutput::Result::Saved);
    QCOMPARE(QFileInfo(empty.path).size(), 0);
}

void TestAudioFileOutput::notSaved_data() {
    QTest::addColumn<QString>("folder"); // inside a temporary folder; null: cancelled
    QTest::addColumn<QString>("error");  // part of the message
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("folder removed meanwhile") << "gone"
                                              << "does not exist";
    QTest::newRow("a file, not a folder") << "file"
                                          << "not a folder";
}

// Nothing is written and the folder is not remembered.
void TestAudioFileOutput::notSaved() {
    QFETCH(QString, folder);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile(dir.filePath("file")).open(QIODevice::WriteOnly);
    FakeChooser chooser(folder.isNull() ? QString() : dir.filePath(folder));
    const auto result = AudioFileOutput::saveAudioWithFile("mp3", chooser, fixedClock);
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
        AudioFileOutput::writeToFolder(dir.path(), QByteArray(120 * 1024, 'x'), fixedClock);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(result.status, AudioFileOutput::Result::Failed);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 0);
}

void TestAudioFileOutput::writeToFile_data() {
    QTest::addColumn<QString>("existing"); // "", "file", "symlink", "folder"
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("error"); // part of the message; empty when written
    QTest::newRow("new") << "" << false << "";
    QTest::newRow("existing kept") << "file" << false << "already exists";
    QTest::newRow("existing replaced") << "file" << true << "";
    QTest::newRow("symlink never replaced") << "symlink" << true << "not a regular file";
    QTest::newRow("folder never replaced") << "folder" << true << "not a regular file";
}

void TestAudioFileOutput::writeToFile() {
    QFETCH(QString, existing);
    QFETCH(bool, replace);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath("out.mp3");
    QFile(dir.filePath("other")).open(QIODevice::WriteOnly);
    if (existing == "file")
        QFile(path).open(QIODevice::WriteOnly);
    else if (existing == "symlink")
        QFile::link(dir.filePath("other"), path);
    else if (existing == "folder")
        QDir().mkdir(path);
    const auto result = AudioFileOutput::writeToFile(
        path, "new",
        replace ? AudioFileOutput::Existing::ReplaceRegularFile : AudioFileOutput::Existing::Keep);
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

void TestAudioFileOutput::noReplaceMove_data() {
    QTest::addColumn<QString>("existing");
    QTest::addColumn<int>("status");
    QTest::newRow("free name") << "" << int(NoReplaceRename::Moved);
    QTest::newRow("a file") << "file" << int(NoReplaceRename::Exists);
    QTest::newRow("a dangling symlink") << "dangling" << int(NoReplaceRename::Exists);
    QTest::newRow("an empty folder") << "folder" << int(NoReplaceRename::Exists);
}

// The final step of every write fails rather than replace whatever has the name.
void TestAudioFileOutput::noReplaceMove() {
    QFETCH(QString, existing);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString from = dir.filePath("from");
    const QString to = dir.filePath("to");
    QFile source(from);
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("moved");
    source.close();
    if (existing == "file")
        QFile(to).open(QIODevice::WriteOnly);
    else if (existing == "dangling")
        QFile::link(dir.filePath("nowhere"), to);
    else if (existing == "folder")
        QDir().mkdir(to);
    const NoReplaceRename result = NoReplaceRename::move(from, to);
    QCOMPARE(int(result.status), status);
    const bool moved = status == NoReplaceRename::Moved;
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
            const auto result =
                AudioFileOutput::writeToFolder(dir.path(), QByteArray(1000, tag), fixedClock);
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
