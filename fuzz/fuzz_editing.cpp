// Fuzzes the editing core: the input is read as a sequence of typing, deleting,
// pasting, typing over selections, applying effects, pauses and deletes, and
// every step is checked as in the randomised test. A failed check aborts.

#include "EditingHarness.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

using namespace parlino;

namespace {

// Anywhere in the text, or on or next to a span's edge.
qint64 place(FuzzedDataProvider &data, const EditingHarness &h) {
    const EffectsArray &spans = h.spans();
    if (!spans.isEmpty() && data.ConsumeBool()) {
        const SSMLCharactersModel &s =
            spans.at(data.ConsumeIntegralInRange<qsizetype>(0, spans.size() - 1));
        const qint64 edge = data.ConsumeBool() ? s.location : s.end();
        return h.snap(edge + data.ConsumeIntegralInRange<int>(-1, 1));
    }
    return h.snap(data.ConsumeIntegralInRange<qint64>(0, h.text().size()));
}

QString inserted(FuzzedDataProvider &data, qsizetype textSize) {
    static const QStringList pieces{"a", " ", "\n", "😀", "⏸", "é", "e\u0301", "the "};
    if (textSize < 6000 && data.ConsumeIntegralInRange<int>(0, 63) == 0)
        return QString(data.ConsumeIntegralInRange<int>(100, 5200), u'x'); // a large paste
    QString result;
    const int count = data.ConsumeIntegralInRange<int>(0, 12);
    for (int i = 0; i < count; ++i)
        result += pieces.at(data.ConsumeIntegralInRange<qsizetype>(0, pieces.size() - 1));
    return result;
}

// With PARLINO_FUZZ_TRACE set, every step and the spans after it are printed,
// to follow a crashing input.
void trace(const char *step, qint64 start, qint64 end, const EditingHarness &h) {
    static const bool on = qEnvironmentVariableIsSet("PARLINO_FUZZ_TRACE");
    if (!on)
        return;
    QStringList spans;
    for (const SSMLCharactersModel &s : h.spans())
        spans << QStringLiteral("%1[%2,%3)").arg(s.effects).arg(s.location).arg(s.end());
    std::fprintf(stderr, "%s(%lld, %lld) text %lld: %s\n", step, static_cast<long long>(start),
                 static_cast<long long>(end), static_cast<long long>(h.text().size()),
                 qPrintable(spans.join(u' ')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    EditingHarness h;
    while (data.remaining_bytes() > 0) {
        const int kind = data.ConsumeIntegralInRange<int>(0, 9);
        const qint64 start = place(data, h);
        const qint64 end = std::max(start, place(data, h));
        static const char *const names[] = {"delete", "edit",  "edit",  "edit",  "edit",
                                            "edit",   "apply", "apply", "pause", "remove"};
        trace("before", start, end, h);
        QString failure;
        if (kind <= 5) {
            failure =
                h.edit(start, end - start, kind == 0 ? QString() : inserted(data, h.text().size()));
        } else if (kind <= 7) {
            const QList<EffectKind> &kinds = EffectKind::all();
            failure =
                h.apply(start, end - start,
                        kinds.at(data.ConsumeIntegralInRange<qsizetype>(0, kinds.size() - 1)));
        } else if (kind == 8) {
            failure = h.pause(start, end - start);
        } else {
            failure = h.remove(start);
        }
        trace(names[kind], start, end, h);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "editing check failed: %s\n", qPrintable(failure));
            std::abort();
        }
    }
    return 0;
}
