#pragma once

#include "CommandLine.h"

namespace parlino {

// `parlino voices`: one line per language in pop-up order, its name, a tab,
// its voices separated by spaces.
class VoicesCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
