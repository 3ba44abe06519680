#pragma once

#include "output/AudioFileOutput.h"

namespace parlino {

class FolderChooser;

// Where the audio of a conversion goes: a folder the user chooses (the
// editor), a given folder under a time-stamped name, or a given file.
class AudioDestination {
public:
    // The chooser must outlive the conversion.
    static AudioDestination askUser(FolderChooser *chooser,
                                    AudioFileOutput::Clock clock = &AudioFileOutput::systemClock);
    static AudioDestination folder(const QString &path,
                                   AudioFileOutput::Clock clock = &AudioFileOutput::systemClock);
    static AudioDestination file(const QString &path);

    AudioFileOutput::Result write(const QByteArray &audio) const;

private:
    enum Kind { AskUser, Folder, File };

    Kind m_kind = File;
    FolderChooser *m_chooser = nullptr;
    QString m_path;
    AudioFileOutput::Clock m_clock;
};

} // namespace parlino
