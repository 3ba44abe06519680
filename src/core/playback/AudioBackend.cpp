#include "playback/AudioBackend.h"

#include "Logging.h"

#include <QFileInfo>
#include <QLibrary>

namespace parlino {

namespace {

// The module beside a build of the program, then where it is installed.
QStringList modulePaths() {
    return {QStringLiteral(PARLINO_AUDIO_MODULE_BUILT),
            QStringLiteral(PARLINO_AUDIO_MODULE_INSTALLED)};
}

ParlinoAudioBackendFactory factory(QString *reason) {
    static ParlinoAudioBackendFactory loaded = nullptr;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        for (const QString &path : modulePaths()) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);
            loaded = reinterpret_cast<ParlinoAudioBackendFactory>(
                library.resolve("parlino_create_audio_backend"));
            if (loaded)
                break;
            failure = library.errorString();
        }
        if (!loaded && failure.isEmpty())
            failure = QStringLiteral("the audio module is not installed (%1)")
                          .arg(modulePaths().join(QLatin1String(", ")));
    }
    *reason = failure;
    return loaded;
}

} // namespace

std::unique_ptr<AudioBackend> createAudioBackend(QString *error) {
    QString reason;
    const ParlinoAudioBackendFactory create = factory(&reason);
    if (!create) {
        qCWarning(lcSynthesis, "playback: %s", qUtf8Printable(reason));
        *error = QStringLiteral("No audio output");
        return nullptr;
    }
    return std::unique_ptr<AudioBackend>(create());
}

} // namespace parlino
