#pragma once

#include "CommandLine.h"

namespace parlino {

// `parlino voices [--engine cloud|offline] [--json]`: one line per language
// in pop-up order, its name, a tab, its voices separated by spaces; with
// --json one JSON object per voice and line. Without --engine it lists the
// cloud catalogue in use, the built-in table when no key is configured.
class VoicesCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
