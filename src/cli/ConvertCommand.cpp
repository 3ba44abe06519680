#include "ConvertCommand.h"

#include "EngineOption.h"
#include "SsmlCommand.h"
#include "VoiceOptions.h"
#include "document/ParlinoDocument.h"
#include "synthesis/Conversion.h"
#include "synthesis/SpeechEngine.h"
#include "synthesis/SpeechEngineFactory.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <unistd.h>

namespace parlino {

namespace {

const QString outputDirOption = QStringLiteral("output-dir");
const QString outputOption = QStringLiteral("output");
const QString subtitlesOption = QStringLiteral("subtitles");

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino convert [--engine cloud|offline] [--voice NAME] [--pitch N] "
                   "[--speed N] [--output-dir DIR | --output FILE] [--subtitles srt|vtt] FILE..."
                << Qt::endl;
    return ExitUsage;
}

bool isTerminal(const QTextStream &stream) {
    const auto *file = qobject_cast<const QFile *>(stream.device());
    return file && file->handle() >= 0 && ::isatty(file->handle());
}

ConversionResult convertOne(Conversion &conversion, const ConversionInput &input,
                            const AudioDestination &destination) {
    ConversionResult result;
    bool ended = false;
    QEventLoop loop;
    conversion.start(input, destination, [&](const ConversionResult &r) {
        result = r;
        ended = true;
        loop.quit();
    });
    if (!ended)
        loop.exec();
    return result;
}

} // namespace

int ConvertCommand::run(const QStringList &arguments, CommandStreams streams) {
    QCommandLineParser parser;
    EngineOption::addTo(parser);
    VoiceOptions::addTo(parser);
    parser.addOption({outputDirOption, QStringLiteral("Folder for the time-stamped files."),
                      QStringLiteral("DIR")});
    parser.addOption(
        {outputOption, QStringLiteral("File to write (one input only)."), QStringLiteral("FILE")});
    parser.addOption({subtitlesOption,
                      QStringLiteral("Also write subtitles beside each MP3: srt or vtt."),
                      QStringLiteral("FORMAT")});
    if (!parser.parse(QStringList{QStringLiteral("parlino convert")} + arguments))
        return usage(streams, parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usage(streams, QStringLiteral("no FILE to convert"));
    if (parser.isSet(outputOption) && parser.isSet(outputDirOption))
        return usage(streams, QStringLiteral("--output and --output-dir exclude each other"));
    if (parser.isSet(outputOption) && files.size() != 1)
        return usage(streams, QStringLiteral("--output takes exactly one FILE"));
    const QString problem = VoiceOptions::problem(parser);
    if (!problem.isEmpty())
        return usage(streams, problem);

    const auto subtitles = Subtitles::formatFromName(parser.value(subtitlesOption));
    if (parser.isSet(subtitlesOption) && !subtitles)
        return usage(streams, QStringLiteral("unknown subtitle format \"%1\"; use srt or vtt")
                                  .arg(parser.value(subtitlesOption)));
    QString engineProblem;
    const auto kind = EngineOption::kind(parser, &engineProblem);
    if (!kind)
        return usage(streams, engineProblem);
    const QString outputDir = parser.value(outputDirOption);
    if (!outputDir.isEmpty() && !QFileInfo(outputDir).isDir())
        return usage(streams, QStringLiteral("%1: not a folder").arg(outputDir));

    QString error;
    const std::unique_ptr<SpeechEngine> engine = EngineOption::create(*kind, &error);
    if (!engine) {
        streams.err << "parlino: " << error << Qt::endl;
        return ExitUsage;
    }
    Conversion conversion(engine.get());
    const AudioDestination destination =
        parser.isSet(outputOption)
            ? AudioDestination::file(parser.value(outputOption))
            : AudioDestination::folder(outputDir.isEmpty() ? QStringLiteral(".") : outputDir);
    const bool showProgress = files.size() > 1 && isTerminal(streams.err);

    int status = ExitOk;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &path = files.at(i);
        if (showProgress)
            streams.err << "parlino: [" << i + 1 << '/' << files.size() << "] " << path << Qt::endl;
        const auto document = SsmlCommand::readInput(path, streams);
        if (!document) {
            status = std::max<int>(status, ExitUsage);
            continue;
        }
        auto input = VoiceOptions::input(parser, *document, &error);
        if (input)
            input->subtitles = subtitles;
        if (!input) {
            streams.err << "parlino: " << path << ": " << error << Qt::endl;
            status = std::max<int>(status, ExitUsage);
            continue;
        }
        const ConversionResult result = convertOne(conversion, *input, destination);
        if (result.status == ConversionResult::Saved) {
            streams.out << result.path << '\n';
            streams.out.flush();
        } else {
            streams.err << "parlino: " << path << ": " << result.error.message << Qt::endl;
            status = std::max<int>(status, result.status == ConversionResult::Refused ? ExitUsage
                                                                                      : ExitFailed);
        }
    }
    return status;
}

} // namespace parlino
