#pragma once

#include <QStringList>

class QIODevice;
class QTextStream;

namespace parlino {

// Where a command-line verb reads and writes; injectable so tests read it.
struct CommandStreams {
    QIODevice &in;
    QTextStream &out;
    QTextStream &err;
};

// Exit statuses of the verbs.
enum ExitStatus { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// Runs the command-line verbs: `parlino VERB ARGS...`.
class CommandLine {
public:
    // True when the argument names a verb, so no window is needed.
    static bool isVerb(const QString &argument);
    static QStringList verbs();

    // arguments[0] is the program name, arguments[1] the verb.
    static int run(const QStringList &arguments, CommandStreams streams);
};

} // namespace parlino
