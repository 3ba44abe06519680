#pragma once

#include "CommandLine.h"

#include <optional>

namespace parlino {

class ParlinoDocument;

// `parlino ssml FILE`: prints what a conversion of FILE would send.
class SsmlCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);

    // Reads FILE ("-" is standard input), or reports "parlino: FILE: reason" on err.
    static std::optional<ParlinoDocument> readInput(const QString &path, CommandStreams streams);
};

} // namespace parlino
