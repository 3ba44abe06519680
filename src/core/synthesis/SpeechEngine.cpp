#include "synthesis/SpeechEngine.h"

namespace parlino {

SpeechEngine::SpeechEngine(QObject *parent)
    : QObject(parent) {}

SpeechEngine::~SpeechEngine() = default;

} // namespace parlino
