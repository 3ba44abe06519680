#include "synthesis/SpeechEngine.h"

SpeechEngine::SpeechEngine(QObject *parent)
    : QObject(parent) {}

SpeechEngine::~SpeechEngine() = default;
