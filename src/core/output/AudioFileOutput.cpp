#include "output/AudioFileOutput.h"

#include "Logging.h"
#include "output/FolderChooser.h"
#include "output/NoReplaceRename.h"
#include "output/SaveFile.h"
#include "settings/Settings.h"

#include <QCalendar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace parlino {

namespace {

// Enough for any batch; past it something else is filling the folder.
constexpr int maxNameAttempts = 100000;
constexpr qint64 chunkSize = 64 * 1024;

AudioFileOutput::Result failed(const QString &path, const QString &reason) {
    AudioFileOutput::Result result;
    result.status = AudioFileOutput::Result::Failed;
    result.path = path;
    result.error =
        QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return result;
}

AudioFileOutput::Result saved(const QString &path) {
    AudioFileOutput::Result result;
    result.status = AudioFileOutput::Result::Saved;
    result.path = path;
    return result;
}

// The audio, written whole by SaveFile under a name of its own beside its
// final place, until it takes the final name with a move that never
// replaces anything. Removed when the object goes, unless it was moved.
class TemporaryAudio {
public:
    explicit TemporaryAudio(const QString &folder)
        : m_path(QDir(folder).filePath(
              QStringLiteral(".Parlino-%1.part")
                  .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')))) {}
    ~TemporaryAudio() {
        if (m_written)
            QFile::remove(m_path);
    }
    TemporaryAudio(const TemporaryAudio &) = delete;
    TemporaryAudio &operator=(const TemporaryAudio &) = delete;

    bool write(QIODevice &audio, QString *reason) {
        m_written = SaveFile::save(m_path, audio, reason);
        return m_written;
    }
    NoReplaceRename moveTo(const QString &path) {
        const NoReplaceRename moved = NoReplaceRename::move(m_path, path);
        if (moved.status == NoReplaceRename::Moved)
            m_written = false;
        return moved;
    }

private:
    QString m_path;
    bool m_written = false;
};

} // namespace

AudioFileOutput::Target AudioFileOutput::targetAt(const QString &path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return errno == ENOENT ? Target::Free : Target::OtherNode;
    return S_ISREG(info.st_mode) ? Target::RegularFile : Target::OtherNode;
}

QDateTime AudioFileOutput::systemClock() {
    return QDateTime::currentDateTime();
}

QString AudioFileOutput::fileNameForTime(const QDateTime &time) {
    // The format overload formats with the C locale; the calendar is named
    // so the digits and the year are the Gregorian ones.
    return QStringLiteral("Parlino") +
           time.toString(QStringLiteral("yyyyMMddHHmmsszzz"),
                         QCalendar(QCalendar::System::Gregorian)) +
           QStringLiteral(".mp3");
}

AudioFileOutput::Result AudioFileOutput::writeToFile(const QString &path, QIODevice &audio,
                                                     Existing existing) {
    const Target target = targetAt(path);
    if (target == Target::OtherNode)
        return failed(path, QStringLiteral("it is not a regular file, and only a regular file is "
                                           "ever replaced"));
    if (target == Target::RegularFile && existing == Existing::Keep)
        return failed(path, QStringLiteral("it already exists"));
    QString reason;
    if (target == Target::RegularFile) // replacing was asked for: SaveFile renames over it
        return SaveFile::save(path, audio, &reason) ? saved(path) : failed(path, reason);
    TemporaryAudio temporary(QFileInfo(path).absolutePath());
    if (!temporary.write(audio, &reason))
        return failed(path, reason);
    const NoReplaceRename moved = temporary.moveTo(path);
    if (moved.status == NoReplaceRename::Exists)
        return failed(path, QStringLiteral("it appeared while the audio was being written"));
    if (moved.status == NoReplaceRename::Failed)
        return failed(path, moved.error);
    return saved(path);
}

AudioFileOutput::Result AudioFileOutput::writeToDevice(QIODevice &device, const QString &name,
                                                       QIODevice &audio) {
    while (!audio.atEnd()) {
        const QByteArray chunk = audio.read(chunkSize);
        if (chunk.isEmpty())
            return failed(name, audio.errorString());
        if (device.write(chunk) != chunk.size())
            return failed(name, device.errorString());
    }
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->flush())
        return failed(name, file->errorString());
    return saved(name);
}

AudioFileOutput::Result AudioFileOutput::writeToFolder(const QString &folder, QIODevice &audio,
                                                       const Clock &clock) {
    const QDir dir(folder);
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir())
        return failed(dir.filePath(fileNameForTime(clock())),
                      folderInfo.exists() ? QStringLiteral("not a folder")
                                          : QStringLiteral("the folder does not exist"));
    QDateTime time = clock();
    QString path = QDir::cleanPath(dir.filePath(fileNameForTime(time)));
    TemporaryAudio temporary(folder);
    QString reason;
    if (!temporary.write(audio, &reason))
        return failed(path, reason);
    // The name is taken only by the final, non-replacing move: a file that
    // appears under it meanwhile, even from another conversion finishing in
    // the same millisecond, moves this one on to the next.
    for (int attempt = 1;; ++attempt) {
        const NoReplaceRename moved = temporary.moveTo(path);
        if (moved.status == NoReplaceRename::Moved)
            return saved(path);
        if (moved.status == NoReplaceRename::Failed)
            return failed(path, moved.error);
        if (attempt == maxNameAttempts)
            return failed(path, QStringLiteral("no free file name"));
        time = time.addMSecs(1);
        path = QDir::cleanPath(dir.filePath(fileNameForTime(time)));
    }
}

AudioFileOutput::Result AudioFileOutput::saveAudioWithFile(QIODevice &audio, FolderChooser &chooser,
                                                           const Clock &clock) {
    const QString lastFolder = Settings::value(Settings::Key::SavePath).toString();
    const QString folder = chooser.chooseFolder(lastFolder);
    if (folder.isEmpty()) {
        Result result;
        result.status = Result::Cancelled;
        return result;
    }
    qCDebug(lcSynthesis) << "saving into" << folder;
    Result result = writeToFolder(folder, audio, clock);
    if (result.status == Result::Saved) {
        QString error;
        if (!Settings::setValue(Settings::Key::SavePath, folder, &error))
            qCWarning(lcSynthesis) << "could not remember the folder:" << error;
    }
    return result;
}

} // namespace parlino
