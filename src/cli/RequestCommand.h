#pragma once

#include "CommandLine.h"

namespace parlino {

// `parlino request [--voice NAME] [--pitch N] [--speed N] FILE`: prints the
// JSON body a conversion of FILE would send, compact on one line, and sends
// nothing.
class RequestCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
