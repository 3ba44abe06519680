#include "output/AudioDestination.h"

#include "output/FolderChooser.h"

namespace parlino {

AudioDestination AudioDestination::askUser(FolderChooser *chooser, AudioFileOutput::Clock clock) {
    AudioDestination destination;
    destination.m_kind = AskUser;
    destination.m_chooser = chooser;
    destination.m_clock = std::move(clock);
    return destination;
}

AudioDestination AudioDestination::folder(const QString &path, AudioFileOutput::Clock clock) {
    AudioDestination destination;
    destination.m_kind = Folder;
    destination.m_path = path;
    destination.m_clock = std::move(clock);
    return destination;
}

AudioDestination AudioDestination::file(const QString &path, AudioFileOutput::Existing existing) {
    AudioDestination destination;
    destination.m_kind = File;
    destination.m_path = path;
    destination.m_existing = existing;
    return destination;
}

AudioDestination AudioDestination::device(QIODevice *device, const QString &name) {
    AudioDestination destination;
    destination.m_kind = Device;
    destination.m_device = device;
    destination.m_path = name;
    return destination;
}

AudioFileOutput::Result AudioDestination::write(QIODevice &audio) const {
    switch (m_kind) {
    case AskUser:
        if (!m_chooser) {
            AudioFileOutput::Result result;
            result.error = QStringLiteral("There is no way to choose a folder.");
            return result;
        }
        return AudioFileOutput::saveAudioWithFile(audio, *m_chooser, m_clock);
    case Folder:
        return AudioFileOutput::writeToFolder(m_path, audio, m_clock);
    case Device:
        if (!m_device) {
            AudioFileOutput::Result result;
            result.error = QStringLiteral("There is nowhere to write the audio.");
            return result;
        }
        return AudioFileOutput::writeToDevice(*m_device, m_path, audio);
    case File:
        break;
    }
    return AudioFileOutput::writeToFile(m_path, audio, m_existing);
}

} // namespace parlino
