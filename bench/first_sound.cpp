// Time to first sound: from Play (Playback::play) to the first PCM handed to
// the audio device, for the offline voice, beside the time the same engine
// takes to convert the whole text to MP3 (what a user of a player without
// streaming waits for). Prints the median of RUNS runs for the text as given
// and for it repeated four times, and the ratio first sound / conversion.
//
//   first_sound TEXT_FILE [RUNS]     (needs a sound server; see first-sound.sh)

#include "playback/Playback.h"
#include "synthesis/offline/OfflineSpeechEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace parlino;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

ConversionInput inputFor(const QString &text) {
    ConversionInput input;
    input.text = text;
    input.voice = QStringLiteral("en-US-Standard-B");
    return input;
}

// Seconds from play() to the first audio written; the sound is stopped there.
double firstSound(Playback &playback, const QString &text, QString *error) {
    playback.cache().clear();
    QEventLoop loop;
    double seconds = -1;
    QElapsedTimer timer;
    const auto first = QObject::connect(&playback, &Playback::firstAudioWritten, &loop, [&] {
        seconds = timer.nsecsElapsed() / 1e9;
        loop.quit();
    });
    const auto failed =
        QObject::connect(&playback, &Playback::failed, &loop, [&](const QString &message) {
            *error = message;
            loop.quit();
        });
    timer.start();
    playback.play(inputFor(text));
    loop.exec();
    QObject::disconnect(first);
    QObject::disconnect(failed);
    playback.stop();
    return seconds;
}

double conversion(OfflineSpeechEngine &engine, const QString &text) {
    QEventLoop loop;
    QElapsedTimer timer;
    timer.start();
    engine.synthesize(Conversion::request(inputFor(text)),
                      [&](const QByteArray &, const SpeechError &) { loop.quit(); });
    loop.exec();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QFile file(arguments.value(1));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: first_sound TEXT_FILE [RUNS]\n");
        return 2;
    }
    const QString text = QString::fromUtf8(file.readAll());
    const int runs = std::max(1, arguments.value(2, QStringLiteral("7")).toInt());

    OfflineSpeechEngine engine;
    Playback playback;
    playback.setEngine(&engine);
    QString error;
    firstSound(playback, QStringLiteral("Warm up."), &error); // eSpeak and the device start
    if (!error.isEmpty()) {
        std::fprintf(stderr, "first_sound: %s\n", qPrintable(error));
        return 1;
    }
    conversion(engine, QStringLiteral("Warm up."));

    QTextStream out(stdout);
    for (const int copies : {1, 4}) {
        const QString sample = QStringList(copies, text).join(QStringLiteral("\n\n"));
        std::vector<double> first;
        std::vector<double> whole;
        for (int i = 0; i < runs; ++i) {
            first.push_back(firstSound(playback, sample, &error));
            whole.push_back(conversion(engine, sample));
        }
        const double f = median(first);
        const double w = median(whole);
        out << QString::asprintf("%6lld characters: first sound %.3f s, whole conversion %.3f s, "
                                 "ratio first-sound/conversion %.3f (median of %d)\n",
                                 qlonglong(sample.size()), f, w, f / w, runs);
    }
    out << "target: first sound at most 0.250 s for the 5,000-character text, whatever its "
           "length\n";
    return error.isEmpty() ? 0 : 1;
}
