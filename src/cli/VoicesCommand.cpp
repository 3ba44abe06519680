#include "VoicesCommand.h"

#include "CatalogueInUse.h"
#include "catalogue/LiveVoices.h"
#include "synthesis/CloudModule.h"
#include "synthesis/offline/EspeakVoiceList.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTextStream>

namespace parlino {

namespace {

const QString engineOption = QStringLiteral("engine");
const QString jsonOption = QStringLiteral("json");

int usage(CommandStreams streams, const QString &problem) {
    streams.err << "parlino: " << problem << '\n'
                << "usage: parlino voices [--engine cloud|offline] [--json]" << Qt::endl;
    return ExitUsage;
}

// The service's list (fresh from the cache or fetched now), saying on stderr
// where it came from; the built-in table when no key is configured.
VoiceCatalogue cloudCatalogue(CommandStreams streams, bool explicitEngine) {
    const QString key = CatalogueInUse::apiKey();
    if (key.isEmpty()) {
        if (explicitEngine)
            streams.err << "parlino: no API key is configured: the built-in voice list" << Qt::endl;
        return VoiceCatalogue::builtIn();
    }
    LiveVoices live;
    QString failure;
    QEventLoop loop;
    QObject::connect(&live, &LiveVoices::refreshEnded, &loop, [&](const QString &error) {
        failure = error;
        loop.quit();
    });
    // Without the cloud module the refresh ends saying why.
    const CloudModule *cloud = CloudModule::get();
    live.refresh(cloud ? cloud->configuredEndpoint() : QUrl(), key);
    loop.exec();
    if (!failure.isEmpty())
        streams.err << "parlino: the voice list could not be refreshed: " << failure << Qt::endl;
    streams.err << "parlino: " << LiveVoices::describe(live.source(), live.fetched()) << Qt::endl;
    return live.catalogue();
}

void printLines(const VoiceCatalogue &catalogue, QTextStream &out) {
    for (const QString &language : catalogue.languages()) {
        QStringList names;
        for (const VoiceInfo &voice : catalogue.voicesOf(language))
            names.append(voice.name);
        out << language << '\t' << names.join(u' ') << '\n';
    }
}

void printJson(const VoiceCatalogue &catalogue, QTextStream &out) {
    for (const VoiceInfo &voice : catalogue.allVoices())
        out << QString::fromUtf8(
                   QJsonDocument(voice.toListingJson()).toJson(QJsonDocument::Compact))
            << '\n';
}

} // namespace

int VoicesCommand::run(const QStringList &arguments, CommandStreams streams) {
    QCommandLineParser parser;
    parser.addOption({engineOption, QStringLiteral("cloud or offline."), QStringLiteral("NAME")});
    parser.addOption({jsonOption, QStringLiteral("One JSON object per voice.")});
    if (!parser.parse(QStringList{QStringLiteral("parlino voices")} + arguments))
        return usage(streams, parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usage(streams, QStringLiteral("voices takes no FILE"));
    auto kind = SpeechEngineFactory::Kind::Cloud;
    if (parser.isSet(engineOption)) {
        const auto chosen = SpeechEngineFactory::kindFromName(parser.value(engineOption));
        if (!chosen)
            return usage(streams, QStringLiteral("unknown engine \"%1\"; use cloud or offline")
                                      .arg(parser.value(engineOption)));
        kind = *chosen;
    }
    const VoiceCatalogue catalogue = kind == SpeechEngineFactory::Kind::Offline
                                         ? VoiceCatalogue::offline(EspeakVoiceList::languages())
                                         : cloudCatalogue(streams, parser.isSet(engineOption));
    if (parser.isSet(jsonOption))
        printJson(catalogue, streams.out);
    else
        printLines(catalogue, streams.out);
    streams.out.flush();
    return ExitOk;
}

} // namespace parlino
