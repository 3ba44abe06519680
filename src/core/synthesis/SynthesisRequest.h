#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace parlino {

// The body of one text:synthesize request and the decoding of its reply.
//   {"input": {"text": ...} or {"ssml": ...},
//    "voice": {"languageCode": "en-GB", "name": "en-GB-Standard-A"},
//    "audioConfig": {"audioEncoding": "MP3", "pitch": -3, "speakingRate": "1.25"}}
namespace SynthesisRequest {

// A slider value read as a whole number: the fraction is dropped toward zero
// (2.9 gives 2, -3.5 gives -3), clamped to the 32-bit range; NaN gives 0.
int sliderInteger(double value);

// n / 100 with exactly two decimals and a point whatever the locale:
// 100 gives "1.00", 33 gives "0.33".
QString speakingRate(int speed);

// The body for a text and its assembled form. "input" holds "text" when the
// assembled string equals the text (no spans), otherwise "ssml". A voice
// whose family takes no SSML gets the plain text (pause glyphs removed), and
// one that takes no pitch gets none. The voice
// name must have at least two "-"-separated fields; its first two make the
// language code.
QJsonObject body(const QString &text, const QString &ssmlString, const QString &voiceName,
                 double pitch, double speed);

// True when the voice name yields a language code ("xx-YY-...").
bool isUsableVoiceName(const QString &voiceName);

// The audio of a reply: "audioContent" decoded as strict base64 once line
// breaks and spaces are removed. Empty when the reply has no such string
// member, it holds any other character outside the alphabet, or it decodes
// to nothing.
QByteArray audioContent(const QJsonObject &reply);

} // namespace SynthesisRequest

} // namespace parlino
