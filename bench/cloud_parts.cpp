// Conversion in parts against the loopback test service: a 50,000-character
// document with effects, each request answered after DELAY ms (300), four
// requests in flight. Prints the parts, the wall time of the whole
// conversion (best of RUNS, 3) and its ratio to the ideal
// ceil(parts / 4) x DELAY, whose target is at most 1.30.
//
//   build/bench/cloud_parts [DELAY_MS] [RUNS]

#include "FakeSynthesisService.h"
#include "output/AudioDestination.h"
#include "synthesis/Conversion.h"
#include "synthesis/RequestSplitter.h"
#include "synthesis/cloud/CloudSpeechEngine.h"
#include "synthesis/cloud/NetAPIClicnet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace parlino;

namespace {

ConversionInput document() {
    ConversionInput input;
    input.voice = QStringLiteral("en-GB-Standard-A");
    const QString sentence = QStringLiteral("The ferry leaves the quay at a quarter past nine. ");
    while (input.text.size() < 50000) {
        for (int i = 0; i < 8; ++i)
            input.text += sentence;
        input.text += u'\n';
    }
    for (int at = 0; at + 40 < input.text.size(); at += 500) {
        SSMLCharactersModel span;
        span.location = at;
        span.length = 40;
        span.effects = QStringLiteral("Emphasis");
        span.ssmlTag = QStringLiteral("strong");
        input.spans << span;
    }
    return input;
}

// Seconds for one whole conversion, or -1 with the reason printed.
double convertOnce(Conversion &conversion, const ConversionInput &input, const QString &path) {
    QFile::remove(path);
    QEventLoop loop;
    ConversionResult result;
    QElapsedTimer timer;
    timer.start();
    conversion.start(input, AudioDestination::file(path), [&](const ConversionResult &r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (result.status != ConversionResult::Saved) {
        std::fprintf(stderr, "cloud_parts: %s\n", qUtf8Printable(result.error.message));
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int delayMs = argc > 1 ? std::atoi(argv[1]) : 300;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    FakeSynthesisService service;
    if (!service.listen()) {
        std::fprintf(stderr, "cloud_parts: the test service could not listen\n");
        return 1;
    }
    service.setInputByteLimit(FakeSynthesisService::serviceInputLimit);
    service.setDelay(delayMs);
    service.setResponder(FakeSynthesisService::numberedResponder());
    NetAPIClicnet client;
    client.setReachabilityProbe([](const QUrl &) { return Reachability::Up; });
    CloudSpeechEngine engine(service.baseUrl(), QStringLiteral("bench-key"), &client);
    Conversion conversion(&engine);
    const ConversionInput input = document();
    const int parts =
        int(RequestSplitter::split(input.text, input.spans, input.voice, engine.partByteLimit())
                .size());
    QTemporaryDir dir;
    double best = -1;
    for (int run = 0; run < runs; ++run) {
        const double seconds = convertOnce(conversion, input, dir.filePath("out.mp3"));
        if (seconds < 0)
            return 1;
        if (best < 0 || seconds < best)
            best = seconds;
    }
    const double ideal = std::ceil(parts / double(conversion.jobs())) * delayMs / 1000.0;
    std::printf("document        %lld characters, %d effects, %d parts\n",
                qlonglong(input.text.size()), int(input.spans.size()), parts);
    std::printf("requests        answered after %d ms, %d in flight (most seen at once: %d)\n",
                delayMs, conversion.jobs(), service.maxConcurrent());
    std::printf("best of %d      %.3f s; ideal %.3f s\n", runs, best, ideal);
    std::printf("ratio           %.2f   (target <= 1.30)\n", best / ideal);
    return 0;
}
