#include "output/AudioFileOutput.h"

#include "Logging.h"
#include "output/FolderChooser.h"
#include "output/SaveFile.h"
#include "settings/Settings.h"

#include <QCalendar>
#include <QDir>
#include <QFileInfo>

namespace parlino {

namespace {

// Enough for any batch; past it something else is filling the folder.
constexpr int maxNameAttempts = 100000;

AudioFileOutput::Result failed(const QString &path, const QString &reason) {
    AudioFileOutput::Result result;
    result.status = AudioFileOutput::Result::Failed;
    result.path = path;
    result.error =
        QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return result;
}

bool occupied(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

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

AudioFileOutput::Result AudioFileOutput::writeToFile(const QString &path, const QByteArray &audio) {
    QString error;
    if (!SaveFile::save(path, audio, &error))
        return failed(path, error);
    Result result;
    result.status = Result::Saved;
    result.path = path;
    return result;
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
    for (int attempt = 1; occupied(path); ++attempt) {
        if (attempt == maxNameAttempts)
            return failed(path, QStringLiteral("no free file name"));
        time = time.addMSecs(1);
        path = QDir::cleanPath(dir.filePath(fileNameForTime(time)));
    }
    return writeToFile(path, audio);
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
