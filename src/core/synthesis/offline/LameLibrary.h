#pragma once

#include <QString>

namespace parlino {

// Why libmp3lame could not be loaded, or an empty string when it was (or has
// not been needed yet). The LAME functions the encoder calls are resolved
// from the library the first time one of them is called, so that starting
// the editor does not link the encoder it needs only to write MP3.
QString lameLibraryError();

} // namespace parlino
