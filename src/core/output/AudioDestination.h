#pragma once

#include "output/AudioFileOutput.h"

namespace parlino {

class FolderChooser;

// Where the audio of a conversion goes: a folder the user chooses (the
// editor), a given folder under a time-stamped name, a given file, or an
// open device such as standard output.
class AudioDestination {
public:
    // The chooser must outlive the conversion.
    static AudioDestination askUser(FolderChooser *chooser,
                                    AudioFileOutput::Clock clock = &AudioFileOutput::systemClock);
    static AudioDestination folder(const QString &path,
                                   AudioFileOutput::Clock clock = &AudioFileOutput::systemClock);
    static AudioDestination
    file(const QString &path, AudioFileOutput::Existing existing = AudioFileOutput::Existing::Keep);
    // The device must outlive the conversion; name stands for it in messages.
    static AudioDestination device(QIODevice *device, const QString &name);

    // Writes the audio read from a device, from its position to its end.
    AudioFileOutput::Result write(QIODevice &audio) const;

private:
    enum Kind { AskUser, Folder, File, Device };

    Kind m_kind = File;
    FolderChooser *m_chooser = nullptr;
    QIODevice *m_device = nullptr;
    AudioFileOutput::Existing m_existing = AudioFileOutput::Existing::Keep;
    QString m_path;
    AudioFileOutput::Clock m_clock;
};

} // namespace parlino
