#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace parlino {

class FolderChooser;

// Writes synthesised audio to disk: as "Parlino" + 17-digit local time stamp +
// ".mp3" in a folder, or to a given path. Files are written whole or not at
// all, and an existing file is never replaced by a time-stamped name.
class AudioFileOutput {
public:
    using Clock = std::function<QDateTime()>;

    struct Result {
        enum Status { Saved, Cancelled, Failed };
        Status status = Failed;
        QString path;  // the file written
        QString error; // for the user, when Failed
    };

    static QDateTime systemClock();

    // "Parlino" + yyyyMMddHHmmsszzz + ".mp3", Gregorian with ASCII digits
    // whatever the locale.
    static QString fileNameForTime(const QDateTime &time);

    // Writes into folder under the time-stamped name of clock(); when that
    // name exists, the next free millisecond is used.
    static Result writeToFolder(const QString &folder, const QByteArray &audio,
                                const Clock &clock = systemClock);

    // Writes to path atomically, replacing what is there.
    static Result writeToFile(const QString &path, const QByteArray &audio);

    // Asks the chooser for a folder (opening at the last one), writes there,
    // and only then remembers the folder as "SavePath". Cancelling writes and
    // remembers nothing.
    static Result saveAudioWithFile(const QByteArray &audio, FolderChooser &chooser,
                                    const Clock &clock = systemClock);
};

} // namespace parlino
