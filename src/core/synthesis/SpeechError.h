#pragma once

#include <QString>

namespace parlino {

// Why a conversion did not end in a file: what kind of failure it was, so
// callers can react to it without reading the text, and the message for the
// user, which never holds an API key.
struct SpeechError {
    enum Kind {
        None,
        Refused,          // the input cannot be converted (empty text, no voice)
        NoEngine,         // no speech engine could be made or it went away
        NoNetwork,        // the network is known to be down; nothing was sent
        NoKey,            // the cloud voice has no API key
        RefusedByService, // the service answered with an error status
        Transport,        // connection, TLS, time-out or a reply that is not JSON
        NoAudio,          // an answer without audio
        Synthesis,        // the offline voice could not speak or encode
        Write,            // the audio could not be written
    };

    Kind kind = None;
    QString message;
    int httpStatus = 0;    // the service's status, when it answered with an error
    int retryAfterMs = -1; // how long the service asked to wait before a new try
    bool timedOut = false; // no answer in time

    bool isError() const { return kind != None; }
    // A failure worth trying again after a while: the service busy or failing
    // for a moment, or no answer in time.
    bool isRetryable() const {
        return timedOut || httpStatus == 429 || httpStatus == 500 || httpStatus == 503;
    }
};

} // namespace parlino
