#pragma once

#include <QString>

namespace parlino {

// What a voice family of the cloud service takes. Most families take SSML
// and a pitch; Chirp 3: HD voices take neither (their controls are the
// speaking rate, pause tags and custom pronunciations), so a request for one
// leaves both out rather than being refused. The service's own 400 message
// remains the last word for anything this table does not know.
namespace VoiceFamily {

bool takesSsml(const QString &family);
bool takesPitch(const QString &family);

// What the editor shows under the sliders for a voice of the family: which
// effects and settings it ignores. Empty when it honours them all.
QString ignoredNote(const QString &family);

} // namespace VoiceFamily

} // namespace parlino
