#include "output/AudioFileOutput.h"

#include "Logging.h"
#include "output/FolderChooser.h"
#include "output/NoReplaceRename.h"
#include "settings/Settings.h"

#include <QCalendar>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes every byte to the device in chunks; false with a reason when a
// write fails or comes back short (as on a full disk, without an error).
bool writeAll(QIODevice &device, const QByteArray &audio, QString *reason) {
    for (qint64 offset = 0; offset < audio.size(); offset += chunkSize) {
        const qint64 length = std::min(chunkSize, audio.size() - offset);
        if (device.write(audio.constData() + offset, length) != length) {
            const QString error = device.errorString();
            *reason = error.isEmpty() || error == QLatin1String("Unknown error")
                          ? QStringLiteral("only part of the audio could be written (is the "
                                           "disk full?)")
                          : error;
            return false;
        }
    }
    return true;
}

// The audio in a new file beside its final name, under a name no one else
// uses. The file is removed when the object goes, unless it was moved away.
class TemporaryAudio {
public:
    explicit TemporaryAudio(const QString &folder)
        : m_folder(folder) {}
    ~TemporaryAudio() {
        if (!m_path.isEmpty())
            ::unlink(QFile::encodeName(m_path).constData());
    }
    TemporaryAudio(const TemporaryAudio &) = delete;
    TemporaryAudio &operator=(const TemporaryAudio &) = delete;

    bool write(const QByteArray &audio, QString *reason);
    const QString &path() const { return m_path; }
    void moved() { m_path.clear(); }

private:
    int create(QString *reason);

    QString m_folder;
    QString m_path;
};

int TemporaryAudio::create(QString *reason) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = QDir(m_folder).filePath(
            QStringLiteral(".Parlino-%1.part")
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
        // 0666 under the umask, as any new file of the user's; O_EXCL never
        // opens a file that is already there.
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_path = path;
            return fd;
        }
        if (errno != EEXIST) {
            *reason = systemError(errno);
            return -1;
        }
    }
    *reason = QStringLiteral("no free temporary name");
    return -1;
}

bool TemporaryAudio::write(const QByteArray &audio, QString *reason) {
    const int fd = create(reason);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *reason = file.errorString();
        return false;
    }
    if (!writeAll(file, audio, reason))
        return false;
    if (!file.flush()) {
        *reason = file.errorString();
        return false;
    }
    // On the disk before it has a name, so a crash leaves no short file.
    if (::fsync(fd) != 0) {
        *reason = systemError(errno);
        return false;
    }
    file.close();
    return true;
}

QString folderOf(const QString &path) {
    return QFileInfo(path).absolutePath();
}

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

AudioFileOutput::Result AudioFileOutput::writeToFile(const QString &path, const QByteArray &audio,
                                                     Existing existing) {
    const Target target = targetAt(path);
    if (target == Target::OtherNode)
        return failed(path, QStringLiteral("it is not a regular file, and only a regular file is "
                                           "ever replaced"));
    if (target == Target::RegularFile && existing == Existing::Keep)
        return failed(path, QStringLiteral("it already exists"));
    TemporaryAudio temporary(folderOf(path));
    QString reason;
    if (!temporary.write(audio, &reason))
        return failed(path, reason);
    if (target == Target::RegularFile) {
        if (::rename(QFile::encodeName(temporary.path()).constData(),
                     QFile::encodeName(path).constData()) != 0)
            return failed(path, systemError(errno));
        temporary.moved();
        return saved(path);
    }
    const NoReplaceRename moved = NoReplaceRename::move(temporary.path(), path);
    if (moved.status == NoReplaceRename::Exists)
        return failed(path, QStringLiteral("it appeared while the audio was being written"));
    if (moved.status == NoReplaceRename::Failed)
        return failed(path, moved.error);
    temporary.moved();
    return saved(path);
}

AudioFileOutput::Result AudioFileOutput::writeToDevice(QIODevice &device, const QString &name,
                                                       const QByteArray &audio) {
    QString reason;
    if (!writeAll(device, audio, &reason))
        return failed(name, reason);
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->flush())
        return failed(name, file->errorString());
    return saved(name);
}

AudioFileOutput::Result
AudioFileOutput::writeToFolder(const QString &folder, const QByteArray &audio, const Clock &clock) {
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
        const NoReplaceRename moved = NoReplaceRename::move(temporary.path(), path);
        if (moved.status == NoReplaceRename::Moved) {
            temporary.moved();
            return saved(path);
        }
        if (moved.status == NoReplaceRename::Failed)
            return failed(path, moved.error);
        if (attempt == maxNameAttempts)
            return failed(path, QStringLiteral("no free file name"));
        time = time.addMSecs(1);
        path = QDir::cleanPath(dir.filePath(fileNameForTime(time)));
    }
}

AudioFileOutput::Result AudioFileOutput::saveAudioWithFile(const QByteArray &audio,
                                                           FolderChooser &chooser,
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
