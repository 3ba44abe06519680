#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

class QIODevice;

namespace parlino {

class FolderChooser;

// Writes synthesised audio to disk: as "Parlino" + 17-digit local time stamp +
// ".mp3" in a folder, or to a given path. Files are written whole or not at
// all: the audio goes into a temporary file beside the target, which then
// takes the target's name in one step. Nothing but a regular file is ever
// replaced, and only when asked to. The audio is read from a device (a spool
// file or a buffer) from its current position to its end, in chunks, so that
// no length of audio needs to fit in memory.
class AudioFileOutput {
public:
    using Clock = std::function<QDateTime()>;

    // What may happen to a file that already has the target's name.
    enum class Existing { Keep, ReplaceRegularFile };
    // What is at a path now (a symbolic link is not followed).
    enum class Target { Free, RegularFile, OtherNode };
    static Target targetAt(const QString &path);

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
    // name is taken, also by a writer finishing at the same moment, the next
    // free millisecond is used.
    static Result writeToFolder(const QString &folder, QIODevice &audio,
                                const Clock &clock = systemClock);

    // Writes to path atomically. An existing path fails the write, unless
    // existing allows replacing it and it is a regular file.
    static Result writeToFile(const QString &path, QIODevice &audio,
                              Existing existing = Existing::Keep);

    // Writes the audio to an open device (standard output); name is how the
    // device is named in messages and in the result's path.
    static Result writeToDevice(QIODevice &device, const QString &name, QIODevice &audio);

    // Asks the chooser for a folder (opening at the last one), writes there,
    // and only then remembers the folder as "SavePath". Cancelling writes and
    // remembers nothing.
    static Result saveAudioWithFile(QIODevice &audio, FolderChooser &chooser,
                                    const Clock &clock = systemClock);
};

} // namespace parlino
