#include "CommandLine.h"

#include "ConvertCommand.h"
#include "RequestCommand.h"
#include "SayCommand.h"
#include "SsmlCommand.h"
#include "VoicesCommand.h"

#include <QTextStream>

namespace parlino {

QStringList CommandLine::verbs() {
    return {QStringLiteral("ssml"), QStringLiteral("voices"), QStringLiteral("request"),
            QStringLiteral("convert"), QStringLiteral("say")};
}

bool CommandLine::isVerb(const QString &argument) {
    return verbs().contains(argument);
}

int CommandLine::run(const QStringList &arguments, CommandStreams streams) {
    const QString verb = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (verb == QLatin1String("ssml"))
        return SsmlCommand::run(rest, streams);
    if (verb == QLatin1String("voices"))
        return VoicesCommand::run(rest, streams);
    if (verb == QLatin1String("request"))
        return RequestCommand::run(rest, streams);
    if (verb == QLatin1String("convert"))
        return ConvertCommand::run(rest, streams);
    if (verb == QLatin1String("say"))
        return SayCommand::run(rest, streams);
    streams.err << "parlino: unknown command \"" << verb
                << "\"; known: " << verbs().join(QLatin1String(", ")) << Qt::endl;
    return ExitUsage;
}

} // namespace parlino
