#include "SayCommand.h"

#include "CatalogueInUse.h"
#include "EngineOption.h"
#include "SsmlCommand.h"
#include "VoiceOptions.h"
#include "document/ParlinoDocument.h"
#include "playback/Playback.h"
#include "synthesis/SpeechEngine.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTextStream>

namespace parlino {

namespace {

const QString wordsOption = QStringLiteral("words");

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino say [--engine cloud|offline] [--voice NAME] [--pitch N] "
                   "[--speed N] [--words] FILE|-"
                << Qt::endl;
    return ExitUsage;
}

} // namespace

int SayCommand::run(const QStringList &arguments, CommandStreams streams) {
    QCommandLineParser parser;
    EngineOption::addTo(parser);
    VoiceOptions::addTo(parser);
    parser.addOption({wordsOption, QStringLiteral("Print each word as it is spoken.")});
    if (!parser.parse(QStringList{QStringLiteral("parlino say")} + arguments))
        return usage(streams, parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return usage(streams, QStringLiteral("say takes exactly one FILE"));
    QString engineProblem;
    const auto kind = EngineOption::kind(parser, &engineProblem);
    if (!kind)
        return usage(streams, engineProblem);
    const VoiceCatalogue catalogue = CatalogueInUse::forEngine(*kind);
    const QString problem = VoiceOptions::problem(parser, catalogue);
    if (!problem.isEmpty())
        return usage(streams, problem);

    const QString &path = files.constFirst();
    const auto document = SsmlCommand::readInput(path, streams);
    if (!document)
        return ExitUsage;
    QString error;
    const auto input = VoiceOptions::input(parser, *document, catalogue, &error);
    if (!input) {
        streams.err << "parlino: " << path << ": " << error << Qt::endl;
        return ExitUsage;
    }
    const QString refusal = Conversion::refusal(*input);
    if (!refusal.isEmpty()) {
        streams.err << "parlino: " << path << ": " << refusal << Qt::endl;
        return ExitUsage;
    }
    const std::unique_ptr<SpeechEngine> engine = EngineOption::create(*kind, &error);
    if (!engine) {
        streams.err << "parlino: " << error << Qt::endl;
        return ExitUsage;
    }

    Playback playback;
    playback.setEngine(engine.get());
    QEventLoop loop;
    int status = ExitOk;
    if (parser.isSet(wordsOption)) {
        QObject::connect(&playback, &Playback::wordStarted, &loop,
                         [&](qint64 location, qint64 length, double seconds) {
                             streams.out << QString::asprintf("%.3f", seconds) << '\t'
                                         << input->text.mid(location, length) << Qt::endl;
                         });
    }
    QObject::connect(&playback, &Playback::finished, &loop, &QEventLoop::quit);
    QObject::connect(&playback, &Playback::failed, &loop, [&](const QString &message) {
        streams.err << "parlino: " << path << ": " << message << Qt::endl;
        status = ExitFailed;
        loop.quit();
    });
    playback.play(*input);
    loop.exec();
    return status;
}

} // namespace parlino
