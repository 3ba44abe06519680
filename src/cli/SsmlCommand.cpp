#include "SsmlCommand.h"

#include "document/ParlinoDocument.h"
#include "synthesis/SsmlAssembly.h"

#include <QIODevice>
#include <QTextStream>

namespace parlino {

std::optional<ParlinoDocument> SsmlCommand::readInput(const QString &path, CommandStreams streams) {
    QString error;
    std::optional<ParlinoDocument> document;
    if (path == QLatin1String("-"))
        document = ParlinoDocument::read(streams.in, false, &error);
    else
        document = ParlinoDocument::load(path, &error);
    if (!document)
        streams.err << "parlino: " << path << ": " << error << Qt::endl;
    return document;
}

int SsmlCommand::run(const QStringList &arguments, CommandStreams streams) {
    if (arguments.size() != 1) {
        streams.err << "usage: parlino ssml FILE   (FILE - reads standard input)" << Qt::endl;
        return ExitUsage;
    }
    const auto document = readInput(arguments.constFirst(), streams);
    if (!document)
        return ExitUsage;
    // Nothing would be spoken: refused as request and convert refuse it.
    if (document->text.isEmpty()) {
        streams.err << "parlino: " << arguments.constFirst() << ": the text is empty" << Qt::endl;
        return ExitUsage;
    }
    streams.out << assembleSsml(document->text, document->effects) << '\n';
    streams.out.flush();
    return ExitOk;
}

} // namespace parlino
