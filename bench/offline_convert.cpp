// Converts a text or SSML file to MP3 with the offline engine alone, without
// the command line around it, to profile the engine. bench/offline-conversion.sh
// times the whole `parlino convert --engine offline`.
//
//   offline_convert [--voice NAME] [--ssml] [--pitch N] [--rate R]
//                   [--part-bytes N [--jobs J]] INPUT OUTPUT.mp3
//
// With --part-bytes, a plain text goes to the engine in parts of at most N
// UTF-8 bytes, cut at paragraph ends, else sentence ends, else spaces, with up
// to J parts queued at once (default 2), as a conversion in parts sends them;
// the parts' frames are written in order as they come, each part's tag frame
// left out. It prints the parts, the audio length and the wall time.

#include "catalogue/DataSource.h"
#include "output/SaveFile.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QMap>
#include <QTextBoundaryFinder>

#include <cstdio>

using namespace parlino;

namespace {

qint64 bytesOf(const QString &text) {
    return text.toUtf8().size();
}

// Cuts the text at the last boundary of the kind that keeps [from, end) within
// the limit; -1 when there is none.
int lastCut(const QString &text, int from, qint64 limit, QTextBoundaryFinder::BoundaryType type) {
    QTextBoundaryFinder finder(type, text);
    int best = -1;
    for (int at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
        if (at <= from)
            continue;
        if (bytesOf(text.mid(from, at - from)) > limit)
            break;
        best = at;
    }
    return best;
}

// The text in parts of at most limit bytes; paragraphs end at a blank line.
QStringList split(const QString &text, qint64 limit) {
    QStringList parts;
    int from = 0;
    while (from < text.size()) {
        if (bytesOf(text.mid(from)) <= limit) {
            parts << text.mid(from);
            break;
        }
        int cut = -1;
        for (int at = text.indexOf(QLatin1String("\n\n"), from); at >= 0;
             at = text.indexOf(QLatin1String("\n\n"), at + 2)) {
            if (bytesOf(text.mid(from, at + 2 - from)) > limit)
                break;
            cut = at + 2;
        }
        if (cut < 0)
            cut = lastCut(text, from, limit, QTextBoundaryFinder::Sentence);
        if (cut < 0)
            cut = lastCut(text, from, limit, QTextBoundaryFinder::Word);
        if (cut < 0)
            cut = int(qMin<qint64>(text.size(), from + limit / 4));
        parts << text.mid(from, cut - from);
        from = cut;
    }
    return parts;
}

// The bytes of an MP3 stream after its first frame (the Xing/LAME tag frame).
QByteArray withoutTagFrame(const QByteArray &mp3) {
    if (mp3.size() < 4)
        return {};
    const auto *h = reinterpret_cast<const unsigned char *>(mp3.constData());
    static const int bitrates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int rates[] = {22050, 24000, 16000, 0};
    const int rate = rates[(h[2] >> 2) & 3];
    const int length = rate ? 72000 * bitrates[h[2] >> 4] / rate + ((h[2] >> 1) & 1) : 0;
    return length > 0 ? mp3.mid(length) : QByteArray();
}

} // namespace

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
    parser.addOption({QStringLiteral("part-bytes"), QStringLiteral("Bytes of text per request."),
                      QStringLiteral("n"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("jobs"), QStringLiteral("Parts queued at once."),
                      QStringLiteral("n"), QStringLiteral("2")});
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
    const bool ssml = parser.isSet(QStringLiteral("ssml"));
    const qint64 partBytes = parser.value(QStringLiteral("part-bytes")).toLongLong();
    const QStringList parts = partBytes > 0 && !ssml ? split(text, partBytes) : QStringList{text};
    const QString voice = parser.value(QStringLiteral("voice"));
    const auto request = [&](const QString &part) {
        return QJsonObject{
            {QStringLiteral("input"),
             QJsonObject{{ssml ? QStringLiteral("ssml") : QStringLiteral("text"), part}}},
            {QStringLiteral("voice"),
             QJsonObject{{QStringLiteral("languageCode"), DataSource::languageCodeOfVoice(voice)},
                         {QStringLiteral("name"), voice}}},
            {QStringLiteral("audioConfig"),
             QJsonObject{{QStringLiteral("audioEncoding"), QStringLiteral("MP3")},
                         {QStringLiteral("pitch"), parser.value(QStringLiteral("pitch")).toInt()},
                         {QStringLiteral("speakingRate"), parser.value(QStringLiteral("rate"))}}}};
    };

    const QString path = parser.positionalArguments().at(1);
    OfflineSpeechEngine engine;
    QElapsedTimer timer;
    timer.start();
    if (parts.size() == 1) {
        int status = 1;
        engine.synthesize(request(text), [&](const QByteArray &mp3, const SpeechError &error) {
            QString reason;
            if (error.isError())
                std::fprintf(stderr, "offline_convert: %s\n", qPrintable(error.message));
            else if (SaveFile::save(path, mp3, &reason))
                status = 0;
            else
                std::fprintf(stderr, "offline_convert: cannot write %s: %s\n", qPrintable(path),
                             qPrintable(reason));
            app.exit(status);
        });
        app.exec();
        return status;
    }

    QFile output(path);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "offline_convert: cannot write %s\n", qPrintable(path));
        return 2;
    }
    const int jobs = qBound(1, parser.value(QStringLiteral("jobs")).toInt(), 8);
    QMap<int, QByteArray> waiting; // parts done before an earlier one
    int sent = 0, written = 0, status = 0;
    double seconds = 0;
    std::function<void()> sendNext = [&] {
        const int index = sent++;
        engine.synthesizeTimed(request(parts.at(index)),
                               [&, index](const QByteArray &mp3,
                                          const QList<SpeechEngine::MarkTime> &, double length,
                                          const SpeechError &error) {
                                   if (error.isError()) {
                                       std::fprintf(stderr, "offline_convert: part %d: %s\n",
                                                    index + 1, qPrintable(error.message));
                                       status = 1;
                                       app.exit(1);
                                       return;
                                   }
                                   seconds += length;
                                   waiting.insert(index, withoutTagFrame(mp3));
                                   while (waiting.contains(written))
                                       output.write(waiting.take(written++));
                                   if (sent < parts.size())
                                       sendNext();
                                   else if (written == parts.size())
                                       app.exit(0);
                               });
    };
    for (int i = 0; i < qMin(jobs, int(parts.size())); ++i)
        sendNext();
    app.exec();
    std::fprintf(stderr, "offline_convert: %d parts, %.1f s of audio in %.3f s\n",
                 int(parts.size()), seconds, timer.elapsed() / 1000.0);
    return status;
}
