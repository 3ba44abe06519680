#include "RequestCommand.h"

#include "CatalogueInUse.h"
#include "SsmlCommand.h"
#include "VoiceOptions.h"
#include "document/ParlinoDocument.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QTextStream>

namespace parlino {

namespace {

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino request [--voice NAME] [--pitch N] [--speed N] FILE" << Qt::endl;
    return ExitUsage;
}

} // namespace

int RequestCommand::run(const QStringList &arguments, CommandStreams streams) {
    QCommandLineParser parser;
    VoiceOptions::addTo(parser);
    if (!parser.parse(QStringList{QStringLiteral("parlino request")} + arguments))
        return usage(streams, parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return usage(streams, QStringLiteral("request takes exactly one FILE"));
    const VoiceCatalogue catalogue = CatalogueInUse::cachedCloud();
    const QString problem = VoiceOptions::problem(parser, catalogue);
    if (!problem.isEmpty())
        return usage(streams, problem);

    const QString path = parser.positionalArguments().constFirst();
    const auto document = SsmlCommand::readInput(path, streams);
    if (!document)
        return ExitUsage;
    QString error;
    const auto input = VoiceOptions::input(parser, *document, catalogue, &error);
    if (!input) {
        streams.err << "parlino: " << path << ": " << error << Qt::endl;
        return ExitUsage;
    }
    streams.out << QString::fromUtf8(
                       QJsonDocument(Conversion::request(*input)).toJson(QJsonDocument::Compact))
                << '\n';
    streams.out.flush();
    return ExitOk;
}

} // namespace parlino
