#include "ConvertCommand.h"

#include "CatalogueInUse.h"
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

const QString engineOption = QStringLiteral("engine");
const QString outputDirOption = QStringLiteral("output-dir");
const QString outputOption = QStringLiteral("output");
const QString forceOption = QStringLiteral("force");
const QString standardOutput = QStringLiteral("-");

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino convert [--engine cloud|offline] [--voice NAME] [--pitch N] "
                   "[--speed N] [--output-dir DIR | --output FILE|- [--force]] FILE..."
                << Qt::endl;
    return ExitUsage;
}

bool isTerminal(const QTextStream &stream) {
    const auto *file = qobject_cast<const QFile *>(stream.device());
    return file && file->handle() >= 0 && ::isatty(file->handle());
}

std::unique_ptr<SpeechEngine> makeEngine(SpeechEngineFactory::Kind kind, QString *error) {
    QString key;
    if (kind == SpeechEngineFactory::Kind::Cloud) {
        key = CatalogueInUse::apiKey();
        if (key.isEmpty()) {
            *error = QStringLiteral("no API key for the cloud voice: set PARLINO_API_KEY or enter "
                                    "a key in the editor's Preferences");
            return nullptr;
        }
    }
    return SpeechEngineFactory::create(kind, key, error);
}

// Why --output FILE cannot be written, checked before any synthesis; the
// write itself checks again and never replaces what appears meanwhile.
QString outputProblem(const QString &path, bool force) {
    switch (AudioFileOutput::targetAt(path)) {
    case AudioFileOutput::Target::Free:
        return QString();
    case AudioFileOutput::Target::RegularFile:
        return force ? QString()
                     : QStringLiteral("%1 already exists; --force replaces it").arg(path);
    case AudioFileOutput::Target::OtherNode:
        break;
    }
    return QStringLiteral("%1 is not a regular file (a link, folder, device or pipe is never "
                          "replaced, even with --force)")
        .arg(path);
}

// Why the output options cannot be followed, or an empty string.
QString outputOptionsProblem(const QCommandLineParser &parser, qsizetype fileCount,
                             CommandStreams streams) {
    if (parser.isSet(outputOption) && parser.isSet(outputDirOption))
        return QStringLiteral("--output and --output-dir exclude each other");
    if (parser.isSet(outputOption) && fileCount != 1)
        return QStringLiteral("--output takes exactly one FILE");
    if (parser.isSet(forceOption) && !parser.isSet(outputOption))
        return QStringLiteral("--force goes with --output");
    if (!parser.isSet(outputOption))
        return QString();
    if (parser.value(outputOption) != standardOutput)
        return outputProblem(parser.value(outputOption), parser.isSet(forceOption));
    if (!streams.out.device())
        return QStringLiteral("standard output cannot take audio here");
    if (isTerminal(streams.out))
        return QStringLiteral("standard output is a terminal; pipe the MP3 somewhere or use "
                              "--output FILE");
    return QString();
}

AudioDestination destinationFor(const QCommandLineParser &parser, const QString &outputDir,
                                CommandStreams streams) {
    if (!parser.isSet(outputOption))
        return AudioDestination::folder(outputDir.isEmpty() ? QStringLiteral(".") : outputDir);
    const QString output = parser.value(outputOption);
    if (output == standardOutput)
        return AudioDestination::device(streams.out.device(), QStringLiteral("standard output"));
    return AudioDestination::file(output, parser.isSet(forceOption)
                                              ? AudioFileOutput::Existing::ReplaceRegularFile
                                              : AudioFileOutput::Existing::Keep);
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
    parser.addOption(
        {engineOption, QStringLiteral("Speech engine: cloud or offline."), QStringLiteral("NAME")});
    VoiceOptions::addTo(parser);
    parser.addOption({outputDirOption, QStringLiteral("Folder for the time-stamped files."),
                      QStringLiteral("DIR")});
    parser.addOption({outputOption,
                      QStringLiteral("File to write (one input only); - writes to standard "
                                     "output."),
                      QStringLiteral("FILE")});
    parser.addOption(
        {forceOption, QStringLiteral("Let --output replace an existing regular file.")});
    if (!parser.parse(QStringList{QStringLiteral("parlino convert")} + arguments))
        return usage(streams, parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usage(streams, QStringLiteral("no FILE to convert"));
    if (const QString problem = outputOptionsProblem(parser, files.size(), streams);
        !problem.isEmpty())
        return usage(streams, problem);
    auto kind = SpeechEngineFactory::preferredKind();
    if (parser.isSet(engineOption)) {
        const auto chosen = SpeechEngineFactory::kindFromName(parser.value(engineOption));
        if (!chosen)
            return usage(streams, QStringLiteral("unknown engine \"%1\"; use cloud or offline")
                                      .arg(parser.value(engineOption)));
        kind = *chosen;
    }
    const VoiceCatalogue catalogue = CatalogueInUse::forEngine(kind);
    const QString problem = VoiceOptions::problem(parser, catalogue);
    if (!problem.isEmpty())
        return usage(streams, problem);
    const QString outputDir = parser.value(outputDirOption);
    if (!outputDir.isEmpty() && !QFileInfo(outputDir).isDir())
        return usage(streams, QStringLiteral("%1: not a folder").arg(outputDir));

    QString error;
    const std::unique_ptr<SpeechEngine> engine = makeEngine(kind, &error);
    if (!engine) {
        streams.err << "parlino: " << error << Qt::endl;
        return ExitUsage;
    }
    Conversion conversion(engine.get());
    // Text already on standard output goes before the audio.
    streams.out.flush();
    const AudioDestination destination = destinationFor(parser, outputDir, streams);
    const bool showProgress = files.size() > 1 && isTerminal(streams.err);
    const bool toStandardOutput = parser.value(outputOption) == standardOutput;

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
        const auto input = VoiceOptions::input(parser, *document, catalogue, &error);
        if (!input) {
            streams.err << "parlino: " << path << ": " << error << Qt::endl;
            status = std::max<int>(status, ExitUsage);
            continue;
        }
        const ConversionResult result = convertOne(conversion, *input, destination);
        if (result.status == ConversionResult::Saved) {
            if (!toStandardOutput) { // the audio itself went there
                streams.out << result.path << '\n';
                streams.out.flush();
            }
        } else {
            streams.err << "parlino: " << path << ": " << result.error.message << Qt::endl;
            status = std::max<int>(status, result.status == ConversionResult::Refused ? ExitUsage
                                                                                      : ExitFailed);
        }
    }
    return status;
}

} // namespace parlino
