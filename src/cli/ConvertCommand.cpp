#include "ConvertCommand.h"

#include "CatalogueInUse.h"
#include "EngineOption.h"
#include "InterruptWatch.h"
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
const QString forceOption = QStringLiteral("force");
const QString jobsOption = QStringLiteral("jobs");
const QString standardOutput = QStringLiteral("-");

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino convert [--engine cloud|offline] [--voice NAME] [--pitch N] "
                   "[--speed N] [--output-dir DIR | --output FILE|- [--force]] [--subtitles "
                   "srt|vtt] [--jobs N] FILE..."
                << Qt::endl;
    return ExitUsage;
}

bool isTerminal(const QTextStream &stream) {
    const auto *file = qobject_cast<const QFile *>(stream.device());
    return file && file->handle() >= 0 && ::isatty(file->handle());
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

// Shows how far a conversion in several parts has come on one terminal
// line, rewritten in place, and clears it when the conversion ends.
class ProgressLine {
public:
    ProgressLine(QTextStream &err, bool shown)
        : m_err(err)
        , m_shown(shown) {}
    void show(const ConversionProgress &progress) {
        if (!m_shown || progress.partsTotal < 2)
            return;
        const qint64 percent =
            progress.charactersDone * 100 / qMax<qint64>(1, progress.charactersTotal);
        m_err << "\rparlino: part " << qMin(progress.partsDone + 1, progress.partsTotal) << " of "
              << progress.partsTotal << " (" << percent << "%)\x1b[K" << Qt::flush;
        m_written = true;
    }
    void clear() {
        if (m_written)
            m_err << "\r\x1b[K" << Qt::flush;
        m_written = false;
    }

private:
    QTextStream &m_err;
    bool m_shown;
    bool m_written = false;
};

ConversionResult convertOne(Conversion &conversion, const ConversionInput &input,
                            const AudioDestination &destination, ProgressLine &progress) {
    ConversionResult result;
    bool ended = false;
    QEventLoop loop;
    const QMetaObject::Connection shown =
        QObject::connect(&conversion, &Conversion::progressed, &loop,
                         [&progress](const ConversionProgress &p) { progress.show(p); });
    conversion.start(input, destination, [&](const ConversionResult &r) {
        result = r;
        ended = true;
        loop.quit();
    });
    if (!ended)
        loop.exec();
    QObject::disconnect(shown);
    progress.clear();
    return result;
}

} // namespace

int ConvertCommand::run(const QStringList &arguments, CommandStreams streams) {
    QCommandLineParser parser;
    EngineOption::addTo(parser);
    VoiceOptions::addTo(parser);
    parser.addOption({outputDirOption, QStringLiteral("Folder for the time-stamped files."),
                      QStringLiteral("DIR")});
    parser.addOption({outputOption,
                      QStringLiteral("File to write (one input only); - writes to standard "
                                     "output."),
                      QStringLiteral("FILE")});
    parser.addOption(
        {forceOption, QStringLiteral("Let --output replace an existing regular file.")});
    parser.addOption({jobsOption,
                      QStringLiteral("Requests in flight at once for a long text, 1 to 8 "
                                     "(default 4)."),
                      QStringLiteral("N")});
    parser.addOption({subtitlesOption,
                      QStringLiteral("Also write subtitles beside each MP3: srt or vtt."),
                      QStringLiteral("FORMAT")});
    if (!parser.parse(QStringList{QStringLiteral("parlino convert")} + arguments))
        return usage(streams, parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usage(streams, QStringLiteral("no FILE to convert"));
    if (const QString problem = outputOptionsProblem(parser, files.size(), streams);
        !problem.isEmpty())
        return usage(streams, problem);
    QString engineProblem;
    const auto kind = EngineOption::kind(parser, &engineProblem);
    if (!kind)
        return usage(streams, engineProblem);
    const VoiceCatalogue catalogue = CatalogueInUse::forEngine(*kind);
    const QString problem = VoiceOptions::problem(parser, catalogue);
    if (!problem.isEmpty())
        return usage(streams, problem);

    const auto subtitles = Subtitles::formatFromName(parser.value(subtitlesOption));
    if (parser.isSet(subtitlesOption) && !subtitles)
        return usage(streams, QStringLiteral("unknown subtitle format \"%1\"; use srt or vtt")
                                  .arg(parser.value(subtitlesOption)));
    if (subtitles && parser.value(outputOption) == standardOutput)
        return usage(streams, QStringLiteral("--subtitles needs a file to write beside; not "
                                             "with --output -"));
    int jobs = Conversion::defaultJobs;
    if (parser.isSet(jobsOption)) {
        bool ok = false;
        jobs = parser.value(jobsOption).toInt(&ok);
        if (!ok || jobs < 1 || jobs > Conversion::maxJobs)
            return usage(streams, QStringLiteral("--jobs takes a number from 1 to %1, not \"%2\"")
                                      .arg(Conversion::maxJobs)
                                      .arg(parser.value(jobsOption)));
    }
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
    conversion.setJobs(jobs);
    // Ctrl+C stops the conversion under way; nothing of it is written.
    InterruptWatch interrupt;
    QObject::connect(&interrupt, &InterruptWatch::interrupted, &conversion, &Conversion::cancelAll);
    ProgressLine progress(streams.err, isTerminal(streams.err));
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
        auto input = VoiceOptions::input(parser, *document, catalogue, &error);
        if (input)
            input->subtitles = subtitles;
        if (!input) {
            streams.err << "parlino: " << path << ": " << error << Qt::endl;
            status = std::max<int>(status, ExitUsage);
            continue;
        }
        const ConversionResult result = convertOne(conversion, *input, destination, progress);
        if (interrupt.wasInterrupted() && result.status != ConversionResult::Saved) {
            streams.err << "parlino: interrupted; " << path << " was not written" << Qt::endl;
            return InterruptWatch::interruptedStatus;
        }
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
        if (interrupt.wasInterrupted()) // after the file under way was written
            return InterruptWatch::interruptedStatus;
    }
    return status;
}

} // namespace parlino
