#pragma once

#include <QString>

namespace parlino {

// Why libespeak-ng could not be loaded, or an empty string when it was (or
// has not been needed yet). The eSpeak NG functions are resolved from the
// library the first time one of them is called, so that starting the editor
// does not load the speech engine and the audio libraries it depends on.
QString espeakLibraryError();

} // namespace parlino
