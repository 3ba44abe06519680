// Cutting documents into 5,000-byte requests: a 1 MB text with 10,000
// effects and a 50,000-character one with 500 (the editor's count on every
// pause in typing), best of 5 runs each; prints the parts and milliseconds.

#include "synthesis/RequestSplitter.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace parlino;

namespace {

void document(qsizetype length, int effects, QString &text, EffectsArray &spans) {
    const QStringList sentences{"The quick brown fox jumps over the lazy dog. ",
                                "Съешь же ещё этих мягких булок, да выпей чаю. ",
                                "今日は良い天気ですね。", "Short one.\n"};
    text.clear();
    spans.clear();
    for (int i = 0; text.size() < length; ++i)
        text += sentences.at(i % sentences.size());
    const QStringList kinds{"Emphasis", "Volume", "Say as", "Sub"};
    const QStringList values{"strong", "loud", "verbatim", "alias"};
    const qsizetype step = text.size() / effects;
    for (int i = 0; i < effects; ++i) {
        SSMLCharactersModel span;
        span.location = i * step;
        span.length = std::min<qsizetype>(i % 3 ? 20 : 900, text.size() - span.location);
        span.effects = kinds.at(i % kinds.size());
        span.ssmlTag = values.at(i % values.size());
        spans << span;
    }
}

void run(const char *name, qsizetype length, int effects) {
    QString text;
    EffectsArray spans;
    document(length, effects, text, spans);
    qint64 best = -1;
    qsizetype parts = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        parts = RequestSplitter::split(text, spans, "en-GB-Standard-A", 5000).size();
        const qint64 ms = timer.elapsed();
        best = best < 0 ? ms : std::min(best, ms);
    }
    std::printf("%s: %lld characters, %d effects, %lld parts, %lld ms\n", name,
                qlonglong(text.size()), effects, qlonglong(parts), qlonglong(best));
}

} // namespace

int main() {
    run("1 MB", 1000000, 10000);
    run("editor", 50000, 500);
    return 0;
}
