#pragma once

#include "CommandLine.h"

#include <memory>

namespace parlino {

class SpeechEngine;

// `parlino convert [--engine cloud|offline] [--voice NAME] [--pitch N]
// [--speed N] [--output-dir DIR | --output FILE|- [--force]] FILE...`:
// converts each FILE into an MP3 file, one after the other, printing each
// written path on stdout (or writing the MP3 itself there with --output -).
// --output never replaces an existing path unless --force is given, and
// then only a regular file. A failure is reported as "parlino: FILE: message" on stderr and the
// remaining files are still tried; the status is the worst seen (1 for a
// failed conversion or write, 2 for bad usage or a refused input).
class ConvertCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
