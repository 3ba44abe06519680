#pragma once

#include "synthesis/SpeechEngineFactory.h"

#include <memory>
#include <optional>

class QCommandLineParser;

namespace parlino {

class SpeechEngine;

// The --engine option shared by the verbs that speak, and the engine it makes.
class EngineOption {
public:
    static void addTo(QCommandLineParser &parser);

    // The chosen kind (the engine setting when the option is absent), or
    // nothing with a reason when the option names no engine.
    static std::optional<SpeechEngineFactory::Kind> kind(const QCommandLineParser &parser,
                                                         QString *problem);

    // A new engine; the cloud engine needs a key, looked up as the editor does.
    static std::unique_ptr<SpeechEngine> create(SpeechEngineFactory::Kind kind, QString *error);
};

} // namespace parlino
