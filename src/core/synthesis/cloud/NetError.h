#pragma once

#include <QString>

namespace parlino {

// Why a JSON request failed; the message is written for the user and never
// holds the request's key.
struct NetError {
    enum Kind {
        None,
        NoNetwork,         // the network is known to be down; nothing was sent
        InvalidParameters, // the parameters are not JSON; nothing was sent
        UnsupportedMethod, // a method type other than GET or POST; nothing was sent
        Transport,         // connection, TLS or protocol failure
        TimedOut,          // no data for the transfer time-out, or no whole reply by the deadline
        HttpStatus,        // a status outside 200 to 299
        Redirected,        // a 3xx reply; the redirect was not followed
        ContentType,       // a 2xx reply of a content type that is not accepted
        MalformedReply,    // a 2xx reply that is not a JSON object or array
        TooLarge,          // the reply passed the size limit; the rest was not read
    };

    Kind kind = None;
    int httpStatus = 0;    // when the server answered
    int retryAfterMs = -1; // the wait the reply's Retry-After asked for, when it had one
    QString message;

    bool isError() const { return kind != None; }

    // The message of a NoNetwork error.
    static QString noNetworkMessage() { return QStringLiteral("No Network"); }
};

} // namespace parlino
