#pragma once

#include "catalogue/VoiceCatalogue.h"
#include "synthesis/SpeechEngineFactory.h"

namespace parlino {

// The catalogue a command works with, found the way the editor finds it but
// waiting for the answer, as a command can.
namespace CatalogueInUse {

// The cloud API key (environment, session, keyring); empty when none is configured.
QString apiKey();

// The cloud catalogue without asking the network: the cached list of the
// configured endpoint, whatever its age, else the built-in table.
VoiceCatalogue cachedCloud();

// The voices a conversion with that engine accepts. Offline: eSpeak's
// languages and every cloud voice in use (the offline engine reads a cloud
// voice by its language).
VoiceCatalogue forEngine(SpeechEngineFactory::Kind kind);

} // namespace CatalogueInUse

} // namespace parlino
