#pragma once

#include <QString>

class QUrl;

namespace parlino {

// What is known about the route to a host. A hint only: Unknown lets a
// request go ahead, and real absence then shows up as a network error.
class Reachability {
public:
    enum Status { Unknown, Down, Up };

    // Loopback hosts are always Up; otherwise the platform's reachability,
    // from the first backend that offers it (loaded once per process).
    static Status statusFor(const QUrl &url);

    // 127.0.0.0/8, ::1 and "localhost".
    static bool isLoopbackHost(const QString &host);
};

} // namespace parlino
