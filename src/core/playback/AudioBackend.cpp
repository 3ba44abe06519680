#include "playback/AudioBackend.h"

#include "Logging.h"
#include "ModuleLibrary.h"

namespace parlino {

namespace {

ParlinoAudioBackendFactory factory(QString *reason) {
    static QString failure;
    static const auto loaded = reinterpret_cast<ParlinoAudioBackendFactory>(ModuleLibrary::resolve(
        ModuleLibrary::paths(PARLINO_AUDIO_MODULE_BUILT, PARLINO_AUDIO_MODULE_INSTALLED),
        "parlino_create_audio_backend", QStringLiteral("audio"), &failure));
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
