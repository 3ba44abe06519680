// Converts a text or SSML file to MP3 with the offline engine alone, without
// the command line around it, to profile the engine. bench/offline-conversion.sh
// times the whole `parlino convert --engine offline`.
//
//   offline_convert [--voice NAME] [--ssml] [--pitch N] [--rate R] INPUT OUTPUT.mp3

#include "catalogue/DataSource.h"
#include "output/SaveFile.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>

#include <cstdio>

using namespace parlino;

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("voice"), QStringLiteral("Cloud voice name."),
                      QStringLiteral("name"), QStringLiteral("en-US-Standard-B")});
    parser.addOption({QStringLiteral("ssml"), QStringLiteral("The input is SSML.")});
    parser.addOption({QStringLiteral("pitch"), QStringLiteral("Pitch in semitones."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("rate"), QStringLiteral("Speaking rate."), QStringLiteral("r"),
                      QStringLiteral("1.00")});
    parser.addPositionalArgument(QStringLiteral("input"), QStringLiteral("Text or SSML file."));
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("MP3 file to write."));
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(2);

    QFile input(parser.positionalArguments().at(0));
    if (!input.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "offline_convert: cannot read %s\n", qPrintable(input.fileName()));
        return 2;
    }
    const QString text = QString::fromUtf8(input.readAll());
    const QString voice = parser.value(QStringLiteral("voice"));
    const QJsonObject request{
        {QStringLiteral("input"),
         QJsonObject{{parser.isSet(QStringLiteral("ssml")) ? QStringLiteral("ssml")
                                                           : QStringLiteral("text"),
                      text}}},
        {QStringLiteral("voice"),
         QJsonObject{{QStringLiteral("languageCode"), DataSource::languageCodeOfVoice(voice)},
                     {QStringLiteral("name"), voice}}},
        {QStringLiteral("audioConfig"),
         QJsonObject{{QStringLiteral("audioEncoding"), QStringLiteral("MP3")},
                     {QStringLiteral("pitch"), parser.value(QStringLiteral("pitch")).toInt()},
                     {QStringLiteral("speakingRate"), parser.value(QStringLiteral("rate"))}}}};

    OfflineSpeechEngine engine;
    int status = 1;
    engine.synthesize(request, [&](const QByteArray &mp3, const SpeechError &error) {
        if (error.isError()) {
            std::fprintf(stderr, "offline_convert: %s\n", qPrintable(error.message));
        } else {
            const QString path = parser.positionalArguments().at(1);
            QString reason;
            if (SaveFile::save(path, mp3, &reason))
                status = 0;
            else
                std::fprintf(stderr, "offline_convert: cannot write %s: %s\n", qPrintable(path),
                             qPrintable(reason));
        }
        app.exit(status);
    });
    app.exec();
    return status;
}
