#pragma once

#include "CommandLine.h"

namespace parlino {

// `parlino say [--engine cloud|offline] [--voice NAME] [--pitch N] [--speed N]
// [--words] FILE|-`: speaks a document or text on the default audio output
// and returns when it has been heard: 0 when done, 1 when synthesis or the
// audio output failed, 2 for bad usage or a refused input. With --words each
// word is printed as it is spoken: its start time in seconds, a tab, the word.
class SayCommand {
public:
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
