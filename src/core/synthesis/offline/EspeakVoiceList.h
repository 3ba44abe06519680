#pragma once

#include "catalogue/VoiceCatalogue.h"

#include <QList>

#include <functional>

class QObject;

namespace parlino {

// The languages eSpeak NG speaks, read from its voice files at run time
// (espeak_ListVoices) on the eSpeak thread. Variants are not languages and
// are left out. Empty when eSpeak cannot start.
namespace EspeakVoiceList {

// Blocks until the list is read; never call it on the eSpeak thread.
QList<EspeakLanguage> languages();

// Reads the list on the eSpeak thread and hands it to done on the main
// thread (where the context lives); done is not called once it is gone.
void load(QObject *context, std::function<void(const QList<EspeakLanguage> &)> done);

} // namespace EspeakVoiceList

} // namespace parlino
